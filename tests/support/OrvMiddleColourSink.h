#ifndef ORV_TESTS_SUPPORT_ORVMIDDLECOLOURSINK_H
#define ORV_TESTS_SUPPORT_ORVMIDDLECOLOURSINK_H

// A frame output for player tests: the colour at the middle of every frame, read before the
// swap, and that frame's position. Needs the frame's OpenGL context current.

#include "runtime/IOrvFrameSink.h"
#include "support/OrvGlTestWindow.h"

class OrvMiddleColourSink : public IOrvFrameSink {
public:
    void FrameDrawn(const Frame& frame) override;

    unsigned position = 0;
    OrvRgba middle{0, 0, 0, 0};
};

#endif
