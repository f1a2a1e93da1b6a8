#ifndef ORV_GFX_ORVHIDDENGLCONTEXT_H
#define ORV_GFX_ORVHIDDENGLCONTEXT_H

// An OpenGL context that nobody sees, for loading a show without showing it (the script
// check): an X window that is never mapped, with the visual the show's window asks for
// (RGBA, double-buffered, a depth buffer and 8 stencil bits), a GLX context made current on
// it, GLEW initialised and OpenGL 2.0 required. Textures, shaders, buffer objects and
// framebuffer objects work in it as in the show's window; the window's own pixels are
// never looked at.
//
// Open does it all; when a step fails it undoes the others and Error() says which step and
// why. Close (and the destructor) releases the context, the window and the X connection;
// OpenGL objects made in the context end with it.
//
// It does not use SDL, so it neither needs nor disturbs SDL's one video surface. Main
// thread only; one at a time (GLEW's entry points are process-wide). Never copied.

#include <string>

struct _XDisplay;
struct __GLXcontextRec;

class OrvHiddenGlContext {
public:
    OrvHiddenGlContext();
    ~OrvHiddenGlContext();
    OrvHiddenGlContext(const OrvHiddenGlContext&) = delete;
    OrvHiddenGlContext& operator=(const OrvHiddenGlContext&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const { return context != nullptr; }
    const std::string& Error() const { return error; }

private:
    bool Fail(const std::string& why);

    _XDisplay* display;
    unsigned long window;
    unsigned long colormap;
    __GLXcontextRec* context;
    std::string error;
};

#endif
