#ifndef ORV_RUNTIME_IORVFRAMESINK_H
#define ORV_RUNTIME_IORVFRAMESINK_H

// An output of the frame pipeline: told about every frame once the show has drawn it, before
// it is shown, so the picture can still be read back (for capture, or by a test). It gets the
// frame's position, the size of the rendering surface (the script's width and height) and the
// rectangle of the screen that the picture fills (the letterboxed viewport). Outputs run in
// the order they were added; one that draws (an overlay) is seen by those after it. Called on
// the engine's thread with the context current; it must not allocate per frame.

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
