#include "gfx/OrvPathFill.h"

#include <epoxy/gl.h>

#include <cmath>

OrvPathFill::OrvPathFill() : stencil(false), colorMask{1, 1, 1, 1}, depthMask(1) {}

void OrvPathFill::Begin() {
    glPushAttrib(GL_ENABLE_BIT | GL_STENCIL_BUFFER_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    GLint bits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &bits);
    stencil = bits > 0;
    GLboolean colors[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, colors);
    for (int i = 0; i < 4; ++i)
        colorMask[i] = colors[i];
    GLboolean depth = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depth);
    depthMask = depth;

    // Fan triangles of either winding must all reach the stencil.
    glDisable(GL_CULL_FACE);
    // The points come from the caller's memory, not from a buffer object, and no other array
    // may be read along with them.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_SECONDARY_COLOR_ARRAY);
    glDisableClientState(GL_FOG_COORD_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (stencil) {
        glEnable(GL_STENCIL_TEST);
        glStencilMask(1);
    }
}

void OrvPathFill::Fill(const float* xy, int count) {
    if (count < 3)
        return;
    glVertexPointer(2, GL_FLOAT, 0, xy);
    if (!stencil) {
        glDrawArrays(GL_TRIANGLE_FAN, 0, count);
        return;
    }

    float minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (int i = 0; i < count; ++i) {
        float x = xy[2 * i], y = xy[2 * i + 1];
        if (!std::isfinite(x) || !std::isfinite(y))
            continue;
        minX = x < minX ? x : minX;
        maxX = x > maxX ? x : maxX;
        minY = y < minY ? y : minY;
        maxY = y > maxY ? y : maxY;
    }
    if (!(minX <= maxX && minY <= maxY))
        return; // no finite point
    // A margin keeps pixels whose centres lie exactly on the box's edges inside the cover quad;
    // it only widens the area the stencil test looks at.
    float margin = (maxX - minX > maxY - minY ? maxX - minX : maxY - minY) / 64.0f;
    minX -= margin;
    minY -= margin;
    maxX += margin;
    maxY += margin;

    // Parity of the fan into stencil bit 0. Whatever the depth test says, the parity counts.
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glStencilFunc(GL_ALWAYS, 0, 1);
    glStencilOp(GL_KEEP, GL_INVERT, GL_INVERT);
    glDrawArrays(GL_TRIANGLE_FAN, 0, count);

    // Colour where the bit is set; every pixel the quad touches leaves with the bit clear.
    glColorMask(colorMask[0], colorMask[1], colorMask[2], colorMask[3]);
    glDepthMask(depthMask);
    glStencilFunc(GL_NOTEQUAL, 0, 1);
    glStencilOp(GL_ZERO, GL_ZERO, GL_ZERO);
    glBegin(GL_QUADS);
    glVertex2f(minX, minY);
    glVertex2f(maxX, minY);
    glVertex2f(maxX, maxY);
    glVertex2f(minX, maxY);
    glEnd();
}

void OrvPathFill::End() {
    glPopClientAttrib();
    glPopAttrib();
}
