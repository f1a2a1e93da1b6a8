#include "support/OrvParticleQuadDraw.h"

#include "gfx/OrvGlState.h"
#include "scene/OrvObjectParticles.h"

#include <GL/glew.h>

void OrvDrawEachParticle(const OrvObjectParticles& fx, const OrvVector3& camera,
                         const OrvVector3& up) {
    for (const OrvParticle& p : fx.Particles()) {
        OrvVector3 dir = (camera - p.position).Normal();
        OrvVector3 right = up.CrossProduct(dir);
        OrvVector3 upward = dir.CrossProduct(right);
        GLfloat m[16] = {static_cast<float>(right.x),      static_cast<float>(right.y),
                         static_cast<float>(right.z),      0,
                         static_cast<float>(upward.x),     static_cast<float>(upward.y),
                         static_cast<float>(upward.z),     0,
                         static_cast<float>(dir.x),        static_cast<float>(dir.y),
                         static_cast<float>(dir.z),        0,
                         static_cast<float>(p.position.x), static_cast<float>(p.position.y),
                         static_cast<float>(p.position.z), 1};
        if (p.textureIndex >= 0) {
            glEnable(GL_TEXTURE_2D);
            OrvGlState::BindTexture(fx.TextureHandle(p.textureIndex));
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        glColor4f(p.r, p.g, p.b, p.a);
        glPushMatrix();
        glMultMatrixf(m);
        if (p.rotation != 0)
            glRotated(p.rotation, 0, 0, 1);
        float s = p.size;
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex3f(-s, s, 0);
        glTexCoord2f(1, 0);
        glVertex3f(s, s, 0);
        glTexCoord2f(1, 1);
        glVertex3f(s, -s, 0);
        glTexCoord2f(0, 1);
        glVertex3f(-s, -s, 0);
        glEnd();
        glPopMatrix();
    }
}
