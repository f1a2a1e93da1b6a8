#ifndef ORV_PLATFORM_ORVGLWINDOW_H
#define ORV_PLATFORM_ORVGLWINDOW_H

// The one place OpenGL contexts come from: an SDL2 window with an OpenGL context made
// current on it, either on the screen (Run's show window, the tests' windows) or offscreen
// (the script check, Capture), where no display server is needed at all.
//
// On the screen: SDL's usual video driver (X11 or Wayland; SDL_VIDEODRIVER forces one), a
// window of the asked size, or full screen: at the desktop's own size through the desktop's
// mode (the monitor's mode is never switched for it), at another size in the closest mode
// the monitor has. The pointer is hidden in full screen. Swap waits for the monitor's
// refresh (adaptive where the driver can, so a late frame tears rather than waits a whole
// refresh) unless asked not to.
//
// Offscreen: SDL's offscreen driver, which makes the context through EGL (Mesa gives it with
// or without a GPU). Should that fail, a hidden window of the usual driver is tried, so a
// machine whose EGL is broken but has a display still checks and captures. A user's
// SDL_VIDEODRIVER is honoured here too. Drawing goes into framebuffer objects of the caller's;
// the window's own pixels are never shown. Swap never waits.
//
// Both ask for 8 bits per colour channel, double buffering, a depth buffer and 8 stencil bits
// (vector images fill through the stencil) and require OpenGL 2.0. Open reports the first
// step that fails in Error(), in the words the launcher's dialog shows, and undoes the rest.
//
// It owns the window and the context and holds SDL's video subsystem while open (SDL counts
// its users, so two windows, or a window and the display-mode screen, may overlap). Main
// thread only; never copied. It does NOT draw, set any OpenGL state, or read a script.

#include "platform/OrvInputEvent.h"
#include "platform/OrvSdlVideo.h"

#include <string>

struct SDL_Window;

class OrvGlWindow {
public:
    enum class Placement { Screen, Offscreen };

    struct Request {
        int width = 640;
        int height = 480;
        bool fullScreen = false;
        Placement placement = Placement::Screen;
        bool vsync = true; // on the screen only
        std::string caption;
    };

    OrvGlWindow();
    ~OrvGlWindow();
    OrvGlWindow(const OrvGlWindow&) = delete;
    OrvGlWindow& operator=(const OrvGlWindow&) = delete;

    bool Open(const Request& request);
    void Close();
    bool IsOpen() const { return context != nullptr; }
    // Why the last Open failed: "Unable to initialize SDL: ...", "Unable to set video mode:
    // ...", "Error: OpenGL 2.0 not supported by your hardware.", or for offscreen
    // "No OpenGL context could be made without a display: ...".
    const std::string& Error() const { return error; }

    // The size OpenGL draws at (pixels; on a scaled Wayland output more than the window's).
    int DrawableWidth() const { return drawableWidth; }
    int DrawableHeight() const { return drawableHeight; }
    // The desktop's mode of the window's monitor, as it was when the window opened.
    int DesktopWidth() const { return desktopWidth; }
    int DesktopHeight() const { return desktopHeight; }
    // SDL's name of the video driver in use ("x11", "wayland", "offscreen").
    const std::string& Driver() const { return driver; }

    // Allocates nothing once the text's length has been seen.
    void SetCaption(const char* text);
    void Swap();
    // The next pending input event of the window; never waits.
    bool Poll(OrvInputEvent& event);

    // True when this thread has a current OpenGL context. Needs no window.
    static bool HasCurrentContext();

private:
    bool OpenOn(const Request& request, bool hidden);
    bool Fail(const std::string& why);

    OrvSdlVideo video;
    SDL_Window* window;
    void* context;
    int drawableWidth;
    int drawableHeight;
    int desktopWidth;
    int desktopHeight;
    std::string driver;
    std::string error;
};

#endif
