#ifndef ORV_PLATFORM_ORVSDLVIDEO_H
#define ORV_PLATFORM_ORVSDLVIDEO_H

// One hold on SDL's video subsystem, for a window: Hold starts it (SDL counts its users),
// Release (and the destructor) lets go. For a window on the screen it refuses the drivers that
// show nothing (SDL's offscreen and dummy ones, which SDL falls back to when there is no
// display at all) unless the user named one in SDL_VIDEODRIVER, so a machine with no display
// hears so instead of getting a window nobody can see or close.
//
// Error() is SDL's text ("No available video device" when only a driver that shows nothing
// was left). Main thread only; never copied. It does NOT make windows.

#include <string>

class OrvSdlVideo {
public:
    OrvSdlVideo() = default;
    ~OrvSdlVideo();
    OrvSdlVideo(const OrvSdlVideo&) = delete;
    OrvSdlVideo& operator=(const OrvSdlVideo&) = delete;

    bool Hold(bool onScreen);
    void Release();
    bool Held() const { return held; }
    const std::string& Error() const { return error; }
    // The driver in use while held ("x11", "wayland", "offscreen"), else empty.
    std::string Driver() const;

private:
    bool held = false;
    std::string error;
};

#endif
