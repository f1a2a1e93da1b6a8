#include "runtime/OrvFramePipeline.h"

#include "base/IOrvClock.h"
#include "base/OrvDisplayFacts.h"
#include "gfx/OrvFramebuffer.h"
#include "show/OrvShow.h"

#include <algorithm>

OrvFramePipeline::OrvFramePipeline(IOrvClock& clock, OrvShow& show, const OrvDisplayFacts& display)
    : clock(clock), show(&show), display(display), frame() {}

void OrvFramePipeline::AddOutput(IOrvFrameSink& output) {
    outputs.push_back(&output);
}

void OrvFramePipeline::RemoveOutput(IOrvFrameSink& output) {
    outputs.erase(std::remove(outputs.begin(), outputs.end(), &output), outputs.end());
}

const IOrvFrameSink::Frame& OrvFramePipeline::Step() {
    unsigned position = 0;
    unsigned elapsed = 0;
    clock.NextFrame(position, elapsed);
    // A screen line draws into whatever is bound when it starts: the screen.
    OrvFramebuffer::BindScreen(display.screenFramebuffer);
    show->Frame(position, elapsed);
    frame = IOrvFrameSink::Frame{position, elapsed, display.surfaceWidth, display.surfaceHeight,
                                 OrvGlUtils::FullViewport(display, false, -1, -1)};
    for (IOrvFrameSink* output : outputs)
        output->FrameDrawn(frame);
    return frame;
}
