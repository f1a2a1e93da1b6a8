#ifndef ORV_PLATFORM_ORVSOFTWAREWINDOW_H
#define ORV_PLATFORM_ORVSOFTWAREWINDOW_H

// A plain window without OpenGL, drawn by copying pictures into its surface: the start-up
// screen's. It also tells what the monitor offers before any show window exists: the
// desktop's mode and the full-screen sizes of the first display, largest first.
//
// Open starts SDL's video subsystem (OrvSdlVideo: never a driver that shows nothing, unless
// the user asked for one) with the usual driver and opens a window of the given size, centred, with
// the caption; Close (and the destructor) give both back. Surface() is the window's own picture,
// valid until Close; Present shows it. Wait and Poll hand out the window's input (OrvSdlInput); a
// Redraw asks for Present again.
//
// Error() words a failure as the start-up screen reports it: SDL's own text. Main thread
// only; never copied. It does NOT decode pictures or render text.

#include "platform/OrvInputEvent.h"
#include "platform/OrvSdlVideo.h"

#include <string>
#include <vector>

struct SDL_Surface;
struct SDL_Window;

class OrvSoftwareWindow {
public:
    struct Size {
        int width;
        int height;
    };

    OrvSoftwareWindow();
    ~OrvSoftwareWindow();
    OrvSoftwareWindow(const OrvSoftwareWindow&) = delete;
    OrvSoftwareWindow& operator=(const OrvSoftwareWindow&) = delete;

    // Starts the video subsystem alone (to read the monitor before the size is known).
    bool Start();
    // Opens the window (starting video if needed).
    bool Open(int width, int height, const std::string& caption);
    void Close();
    const std::string& Error() const { return error; }

    Size Desktop() const;
    // Distinct full-screen sizes of display 0, largest first; empty when SDL lists none.
    std::vector<Size> FullScreenSizes() const;

    SDL_Surface* Surface() const { return surface; }
    void Present();
    bool Wait(OrvInputEvent& event);
    bool Poll(OrvInputEvent& event);

private:
    bool Fail();

    OrvSdlVideo video;
    SDL_Window* window;
    SDL_Surface* surface; // the window's, not owned
    std::string error;
};

#endif
