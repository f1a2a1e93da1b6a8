#include "platform/OrvGlWindow.h"

#include "platform/OrvSdlInput.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

namespace {
// SDL's own offscreen video driver: a pbuffer through EGL, no display server.
const char* const OffscreenDriver = "offscreen";

std::string SdlError() {
    const char* text = SDL_GetError();
    return text ? text : "";
}

// The monitor's mode of `width` x `height` with the highest refresh, or false.
bool ClosestMode(int display, int width, int height, SDL_DisplayMode& mode) {
    SDL_DisplayMode wanted = {};
    wanted.w = width;
    wanted.h = height;
    return SDL_GetClosestDisplayMode(display, &wanted, &mode) != nullptr;
}
} // namespace

OrvGlWindow::OrvGlWindow()
    : window(nullptr), context(nullptr), drawableWidth(0), drawableHeight(0), desktopWidth(0),
      desktopHeight(0) {}

OrvGlWindow::~OrvGlWindow() {
    Close();
}

bool OrvGlWindow::Fail(const std::string& why) {
    Close();
    error = why;
    return false;
}

bool OrvGlWindow::Open(const Request& request) {
    Close();
    error.clear();
    if (request.placement == Placement::Screen)
        return OpenOn(request, false);

    // A normal-priority hint: SDL_VIDEODRIVER in the environment still wins over it.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, OffscreenDriver);
    bool opened = OpenOn(request, true);
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    if (opened)
        return true;
    std::string first = error;
    if (OpenOn(request, true))
        return true;
    return Fail("No OpenGL context could be made without a display: " + first +
                "; nor in a "
                "hidden window: " +
                error);
}

bool OrvGlWindow::OpenOn(const Request& request, bool hidden) {
    Close();
    if (!video.Hold(!hidden))
        return Fail("Unable to initialize SDL: " + video.Error());
    driver = video.Driver();

    SDL_DisplayMode desktop = {};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
        desktopWidth = desktop.w;
        desktopHeight = desktop.h;
    }

    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    bool fullScreen = request.fullScreen && !hidden;
    bool desktopSized = request.width == desktopWidth && request.height == desktopHeight;
    if (hidden)
        flags |= SDL_WINDOW_HIDDEN;
    else if (fullScreen)
        flags |= desktopSized ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    window = SDL_CreateWindow(request.caption.c_str(), SDL_WINDOWPOS_CENTERED,
                              SDL_WINDOWPOS_CENTERED, request.width, request.height, flags);
    if (!window)
        return Fail("Unable to set video mode: " + SdlError());
    if (fullScreen && !desktopSized) {
        SDL_DisplayMode mode = {};
        int display = SDL_GetWindowDisplayIndex(window);
        if (ClosestMode(display < 0 ? 0 : display, request.width, request.height, mode))
            SDL_SetWindowDisplayMode(window, &mode);
    }
    context = SDL_GL_CreateContext(window);
    if (!context)
        return Fail("Unable to set video mode: " + SdlError());
    if (SDL_GL_MakeCurrent(window, context) != 0)
        return Fail("Unable to set video mode: " + SdlError());
    if (epoxy_gl_version() < 20)
        return Fail("Error: OpenGL 2.0 not supported by your hardware.");

    if (!hidden && request.vsync) {
        // Adaptive first: a frame that misses the refresh is shown at once, torn, instead of
        // waiting for the next one.
        if (SDL_GL_SetSwapInterval(-1) != 0)
            SDL_GL_SetSwapInterval(1);
    } else {
        SDL_GL_SetSwapInterval(0);
    }
    if (fullScreen)
        SDL_ShowCursor(SDL_DISABLE);
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    return true;
}

void OrvGlWindow::Close() {
    if (context) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (video.Held()) {
        SDL_ShowCursor(SDL_ENABLE);
        video.Release();
    }
    drawableWidth = drawableHeight = 0;
}

void OrvGlWindow::SetCaption(const char* text) {
    if (window)
        SDL_SetWindowTitle(window, text);
}

void OrvGlWindow::Swap() {
    if (window)
        SDL_GL_SwapWindow(window);
}

bool OrvGlWindow::Poll(OrvInputEvent& event) {
    return video.Held() && OrvSdlInput::Poll(event);
}

bool OrvGlWindow::HasCurrentContext() {
    return SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GL_GetCurrentContext() != nullptr;
}
