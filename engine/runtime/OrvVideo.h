#ifndef ORV_RUNTIME_ORVVIDEO_H
#define ORV_RUNTIME_ORVVIDEO_H

// The show's window: SDL video, the OpenGL window in the chosen mode, GLEW and the OpenGL
// version check, the window caption, and the buffer swap.
//
// Open does it all and reports what fails to the run's diagnostics (severity 1): "Unable to initialize SDL: " + SDL's
// error; "Unable to set video mode: " + SDL's error; "Error: " + GLEW's error;
// "Error: OpenGL 2.0 not supported by your hardware.". OpenWindow is its window part alone:
// it records the aspect ratio, the surface size (the script's width and height; missing,
// 0 or out-of-range values give 640 x 480) and the display size in the run's display facts,
// hides the cursor in full screen, sets the caption to the title and "Loading...", and sets
// the OpenGL defaults every show starts from (smooth shading, depth test with GL_LEQUAL,
// clear depth 1).
//
// The caption is the script's title, " - " and a text; setting it costs no allocation once
// its string has grown. Close shuts SDL down (which closes the window and ends the context).
//
// Ownership: the SDL surface belongs to SDL. Main thread only.

#include <SDL/SDL.h>

#include <string>

class IOrvScriptLoader;
class OrvRunContext;

class OrvVideo {
public:
    // The run context is borrowed and must outlive the window.
    explicit OrvVideo(OrvRunContext& run);

    // `script` may be null (then sizes and title count as missing). fullScreen as chosen.
    bool Open(int width, int height, double aspectRatio, bool fullScreen, IOrvScriptLoader* script);
    bool OpenWindow(int width, int height, double aspectRatio, bool fullScreen,
                    IOrvScriptLoader* script);
    void Close();

    void SetTitle(const std::string& title) { this->title = title; }
    // The caption becomes title + " - " + text.
    void SetCaption(const char* text);
    void Swap();

    SDL_Surface* Screen() const { return screen; }

private:
    OrvRunContext& run;
    SDL_Surface* screen;
    std::string title;
    std::string caption; // reused, so setting it every frame does not allocate
};

#endif
