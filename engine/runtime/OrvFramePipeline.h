#ifndef ORV_RUNTIME_ORVFRAMEPIPELINE_H
#define ORV_RUNTIME_ORVFRAMEPIPELINE_H

// The stages of one frame, the same for playing, Capture and the tests:
//   1. clock: the next frame's position and the milliseconds since the one before;
//   2. the show's parameter sources, its simulation and its render passes (OrvShow::Frame),
//      drawn into the screen (the run's display facts name its framebuffer);
//   3. the outputs, in the order they were added: a capture's read-back, a test's sink, the
//      debug overlay. The window's swap is not one of them: the player shows the picture.
//
// Ownership: borrows the clock, the show, the display facts and the outputs; they must outlive
// their use. SetShow hands it another show between two frames (a reload). Main thread, with
// the show's context current. Step allocates nothing.

#include "runtime/IOrvFrameSink.h"

#include <vector>

class IOrvClock;
class OrvDisplayFacts;
class OrvShow;

class OrvFramePipeline {
public:
    OrvFramePipeline(IOrvClock& clock, OrvShow& show, const OrvDisplayFacts& display);

    void SetShow(OrvShow& show) { this->show = &show; }
    OrvShow& Show() { return *show; }
    IOrvClock& Clock() { return clock; }

    void AddOutput(IOrvFrameSink& output);
    void RemoveOutput(IOrvFrameSink& output);

    // One frame through every stage; the frame as the outputs saw it.
    const IOrvFrameSink::Frame& Step();

private:
    IOrvClock& clock;
    OrvShow* show;
    const OrvDisplayFacts& display;
    std::vector<IOrvFrameSink*> outputs; // not owned
    IOrvFrameSink::Frame frame;
};

#endif
