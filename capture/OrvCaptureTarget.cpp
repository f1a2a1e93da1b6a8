#include "OrvCaptureTarget.h"

#include "base/OrvDisplayFacts.h"
#include "gfx/OrvGlState.h"

#include <GL/glew.h>

#include <algorithm>

OrvCaptureTarget::OrvCaptureTarget() : display(nullptr), texture(0), width(0), height(0) {}

OrvCaptureTarget::~OrvCaptureTarget() {
    Release();
}

bool OrvCaptureTarget::Create(OrvDisplayFacts& facts, int width, int height, std::string& error) {
    Release();
    if (!GLEW_EXT_framebuffer_object) {
        error = "This OpenGL has no framebuffer objects (EXT_framebuffer_object): Capture "
                "needs them";
        return false;
    }
    GLint maxTexture = 0, maxRenderbuffer = 0, maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    int limitWidth = std::min(std::min(maxTexture, maxRenderbuffer), maxViewport[0]);
    int limitHeight = std::min(std::min(maxTexture, maxRenderbuffer), maxViewport[1]);
    if (width > limitWidth || height > limitHeight) {
        error = "The picture size " + std::to_string(width) + "x" + std::to_string(height) +
                " is larger than this OpenGL draws (at most " + std::to_string(limitWidth) + "x" +
                std::to_string(limitHeight) + ")";
        return false;
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    framebuffer.Create(texture, 0, width, height);
    unsigned status = framebuffer.Status();
    if (!OrvFramebuffer::IsComplete(status)) {
        error = "Could not make the capture's framebuffer: " + OrvFramebuffer::StatusName(status);
        Release();
        return false;
    }
    this->width = width;
    this->height = height;
    display = &facts;
    display->screenFramebuffer = framebuffer.Handle();
    display->displayWidth = width;
    display->displayHeight = height;
    display->aspectRatio = static_cast<double>(width) / height;
    return true;
}

void OrvCaptureTarget::Release() {
    if (display && framebuffer.Handle() != 0 &&
        display->screenFramebuffer == framebuffer.Handle()) {
        display->screenFramebuffer = 0;
        if (OrvGlState::HasCurrentContext())
            OrvFramebuffer::BindScreen(0);
    }
    display = nullptr;
    framebuffer.Release();
    if (texture != 0 && OrvGlState::HasCurrentContext())
        glDeleteTextures(1, &texture);
    texture = 0;
    width = height = 0;
}

void OrvCaptureTarget::Bind() const {
    framebuffer.Bind();
}

void OrvCaptureTarget::Read(uint8_t* pixels) const {
    framebuffer.Bind();
    glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, Order == OrvPngEncoder::Bgra ? GL_BGRA : GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels);
}
