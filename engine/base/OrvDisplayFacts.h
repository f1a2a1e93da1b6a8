#ifndef ORV_BASE_ORVDISPLAYFACTS_H
#define ORV_BASE_ORVDISPLAYFACTS_H

// The sizes a run draws at: the presentation's surface (what the script is made for), the
// display (the window, or Capture's picture) and the monitor's aspect ratio; and the screen,
// the framebuffer that the render line without an output draws into (0, the window's, unless
// Capture draws into a framebuffer of its own). The video set-up
// stores them once the window is open; render passes, images and cameras read them. All start
// at 0, so a reader that comes too early sees an obviously empty surface. Plain values.

class OrvDisplayFacts {
public:
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    int displayWidth = 0;
    int displayHeight = 0;
    double aspectRatio = 0;
    unsigned screenFramebuffer = 0;
};

#endif
