#include "gfx/OrvHiddenGlContext.h"

#include <GL/glew.h>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
// Xlib ends the process on an X error unless a handler takes it; while the context is made,
// errors are only noted, and the step that caused one fails.
bool xErrorSeen = false;

int NoteXError(Display*, XErrorEvent*) {
    xErrorSeen = true;
    return 0;
}
} // namespace

OrvHiddenGlContext::OrvHiddenGlContext()
    : display(nullptr), window(0), colormap(0), context(nullptr) {}

OrvHiddenGlContext::~OrvHiddenGlContext() {
    Close();
}

bool OrvHiddenGlContext::Fail(const std::string& why) {
    Close();
    error = why;
    return false;
}

bool OrvHiddenGlContext::Open() {
    Close();
    error.clear();
    display = XOpenDisplay(nullptr);
    if (!display)
        return Fail("Could not open the X display (is DISPLAY set?)");
    if (!glXQueryExtension(display, nullptr, nullptr))
        return Fail("The X display has no OpenGL (GLX)");
    int attributes[] = {GLX_RGBA,
                        GLX_DOUBLEBUFFER,
                        GLX_RED_SIZE,
                        8,
                        GLX_GREEN_SIZE,
                        8,
                        GLX_BLUE_SIZE,
                        8,
                        GLX_DEPTH_SIZE,
                        16,
                        GLX_STENCIL_SIZE,
                        8,
                        None};
    int screen = DefaultScreen(display);
    XVisualInfo* visual = glXChooseVisual(display, screen, attributes);
    if (!visual)
        return Fail("No OpenGL visual with depth and stencil buffers");
    Window root = RootWindow(display, screen);
    colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap;
    // Never mapped: it exists only to carry the context.
    xErrorSeen = false;
    int (*previousHandler)(Display*, XErrorEvent*) = XSetErrorHandler(NoteXError);
    window = XCreateWindow(display, root, 0, 0, 16, 16, 0, visual->depth, InputOutput,
                           visual->visual, CWColormap, &windowAttributes);
    context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    bool current = window && context && glXMakeCurrent(display, window, context);
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    if (!current || xErrorSeen)
        return Fail("Could not create an OpenGL context");
    GLenum glewError = glewInit();
    if (glewError != GLEW_OK)
        return Fail(std::string("Error: ") +
                    reinterpret_cast<const char*>(glewGetErrorString(glewError)));
    if (!GLEW_VERSION_2_0)
        return Fail("Error: OpenGL 2.0 not supported by your hardware.");
    return true;
}

void OrvHiddenGlContext::Close() {
    if (!display)
        return;
    if (context) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context);
        context = nullptr;
    }
    if (window) {
        XDestroyWindow(display, window);
        window = 0;
    }
    if (colormap) {
        XFreeColormap(display, colormap);
        colormap = 0;
    }
    XCloseDisplay(display);
    display = nullptr;
}
