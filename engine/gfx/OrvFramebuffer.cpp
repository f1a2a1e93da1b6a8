#include "gfx/OrvFramebuffer.h"

#include "gfx/OrvGlState.h"

#include <epoxy/gl.h>

#include <cstdio>

OrvFramebuffer::OrvFramebuffer() : framebuffer(0), depthRenderbuffer(0) {}

void OrvFramebuffer::Release() {
    // Without a context the names ended with it.
    bool live = OrvGlState::HasCurrentContext();
    if (live && depthRenderbuffer != 0)
        glDeleteRenderbuffersEXT(1, &depthRenderbuffer);
    if (live && framebuffer != 0)
        glDeleteFramebuffersEXT(1, &framebuffer);
    depthRenderbuffer = 0;
    framebuffer = 0;
}

namespace {
GLuint BoundFramebuffer() {
    GLint bound = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    return static_cast<GLuint>(bound);
}
} // namespace

void OrvFramebuffer::Create(unsigned colorTexture, unsigned depthTexture, int width, int height) {
    GLuint previous = BoundFramebuffer();
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    if (depthTexture == 0) {
        glGenRenderbuffersEXT(1, &depthRenderbuffer);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthRenderbuffer);
        if (epoxy_has_gl_extension("GL_EXT_packed_depth_stencil")) {
            // Stencil too, for the fills of concave outlines (OrvPathFill).
            glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH24_STENCIL8_EXT, width, height);
            glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_STENCIL_ATTACHMENT_EXT,
                                         GL_RENDERBUFFER_EXT, depthRenderbuffer);
        } else {
            glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
        }
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                     GL_RENDERBUFFER_EXT, depthRenderbuffer);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    } else {
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D,
                                  depthTexture, 0);
    }
    if (colorTexture != 0) {
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  colorTexture, 0);
    } else {
        // Nothing to draw colour into: without this the buffer is incomplete.
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, previous);
}

unsigned OrvFramebuffer::Status() const {
    GLuint previous = BoundFramebuffer();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, previous);
    return status;
}

bool OrvFramebuffer::IsComplete(unsigned status) {
    return status == GL_FRAMEBUFFER_COMPLETE_EXT;
}

std::string OrvFramebuffer::StatusName(unsigned status) {
    switch (status) {
    case GL_FRAMEBUFFER_COMPLETE_EXT:
        return "GL_FRAMEBUFFER_COMPLETE_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
        return "GL_FRAMEBUFFER_UNSUPPORTED_EXT";
    default: {
        // 0 means the check itself failed (an OpenGL error); anything else is unexpected.
        char text[32];
        std::snprintf(text, sizeof text, "status 0x%04X", status);
        return text;
    }
    }
}

void OrvFramebuffer::Bind() const {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
}

void OrvFramebuffer::BindScreen(unsigned screen) {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen);
}
