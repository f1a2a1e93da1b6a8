#include "gfx/OrvGlState.h"

#include "platform/OrvGlWindow.h"

#include <epoxy/gl.h>

void OrvGlState::SetBlend(int mode) {
    switch (mode) {
    case BlendAlpha:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glBlendEquation(GL_FUNC_ADD);
        break;
    case BlendAdd:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glBlendEquation(GL_FUNC_ADD);
        break;
    case BlendMax:
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glBlendEquation(GL_MAX);
        break;
    default:
        glDisable(GL_BLEND);
        break;
    }
}

void OrvGlState::BindTexture(unsigned handle) {
    glBindTexture(GL_TEXTURE_2D, handle);
}

void OrvGlState::BindTextureToUnit(int unit, unsigned handle) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, handle);
}

void OrvGlState::SetSampling(bool mipmaps, bool repeat) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    SetWrap(repeat, repeat);
}

void OrvGlState::SetWrap(bool repeatS, bool repeatT) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, repeatS ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, repeatT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}

void OrvGlState::BeginPixelSpace(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void OrvGlState::EndPixelSpace() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void OrvGlState::DrawQuad(float left, float top, float right, float bottom, float s0, float t0,
                          float s1, float t1) {
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex3f(left, bottom, 0);
    glTexCoord2f(s1, t0);
    glVertex3f(right, bottom, 0);
    glTexCoord2f(s1, t1);
    glVertex3f(right, top, 0);
    glTexCoord2f(s0, t1);
    glVertex3f(left, top, 0);
    glEnd();
}

bool OrvGlState::HasCurrentContext() {
    return OrvGlWindow::HasCurrentContext();
}
