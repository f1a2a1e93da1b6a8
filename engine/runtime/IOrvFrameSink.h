#ifndef ORV_RUNTIME_IORVFRAMESINK_H
#define ORV_RUNTIME_IORVFRAMESINK_H

// Told about every frame the player has drawn, before the buffers are swapped, so the picture
// can still be read back from the back buffer (for capture, or by a test). The sink gets the
// frame's position, the size of the rendering surface (the script's width and height) and
// the rectangle of the window that the screen's picture fills (the letterboxed viewport).
// It must not draw, and is called on the engine's thread with the context current.

#include "gfx/OrvGlUtils.h"

class IOrvFrameSink {
public:
    struct Frame {
        unsigned position;
        unsigned elapsedMs;
        int surfaceWidth;
        int surfaceHeight;
        OrvGlUtils::Viewport viewport;
    };

    virtual void FrameDrawn(const Frame& frame) = 0;

protected:
    ~IOrvFrameSink() {}
};

#endif
