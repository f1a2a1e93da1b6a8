#ifndef ORV_RUNTIME_ORVVIDEO_H
#define ORV_RUNTIME_ORVVIDEO_H

// The show's window: the platform's OpenGL window (OrvGlWindow) in the chosen mode, on the
// screen for Run or offscreen for Capture, with the caption, the buffer swap and the
// window's input.
//
// Open reports what fails to the run's diagnostics (severity 1), in the platform's words:
// "Unable to initialize SDL: " + SDL's error; "Unable to set video mode: " + SDL's error;
// "Error: OpenGL 2.0 not supported by your hardware."; offscreen, what neither way of making
// a context said. Once open it records the aspect ratio, the surface size (the script's
// width and height; missing, 0 or out-of-range values give 640 x 480) and the display size
// (what OpenGL draws at in the window) in the run's display facts, sets the caption to the
// title and "Loading...", and sets the OpenGL defaults every show starts from (smooth
// shading, depth test with GL_LEQUAL, clear depth 1).
//
// The caption is the script's title, " - " and a text; it reaches the window only when it
// changed, and setting it allocates nothing once its string has grown. Close gives the window
// back (which ends the context). Main thread only.

#include "platform/OrvGlWindow.h"

#include <string>

class IOrvScriptLoader;
class OrvRunContext;

class OrvVideo {
public:
    // The run context is borrowed and must outlive the window.
    explicit OrvVideo(OrvRunContext& run);

    // `script` may be null (then sizes and title count as missing). fullScreen as chosen.
    bool Open(int width, int height, double aspectRatio, bool fullScreen, IOrvScriptLoader* script);
    // A window nobody sees, of the given size, for drawing into framebuffers (Capture).
    bool OpenOffscreen(int width, int height, IOrvScriptLoader* script);
    void Close();
    bool IsOpen() const { return window.IsOpen(); }

    void SetTitle(const std::string& title) { this->title = title; }
    // The caption becomes title + " - " + text.
    void SetCaption(const char* text);
    // What the window's caption says now.
    const std::string& Caption() const { return shown; }
    void Swap();
    // The window's next pending input; never waits.
    bool Poll(OrvInputEvent& event) { return window.Poll(event); }

    OrvGlWindow& Window() { return window; }

private:
    bool OpenWith(const OrvGlWindow::Request& request, double aspectRatio,
                  IOrvScriptLoader* script);

    OrvRunContext& run;
    OrvGlWindow window;
    std::string title;
    std::string caption; // reused, so setting it every frame does not allocate
    std::string shown;   // what the window shows now
};

#endif
