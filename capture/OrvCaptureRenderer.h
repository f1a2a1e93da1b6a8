#ifndef ORV_CAPTURE_ORVCAPTURERENDERER_H
#define ORV_CAPTURE_ORVCAPTURERENDERER_H

// Renders a loaded show frame by frame at a fixed rate into the capture's picture and hands
// each picture on, through the engine's frame pipeline (OrvFramePipeline) with a fixed-step
// clock and a read-back output, the same stages a played frame goes through. Frame n lies at from +
// floor(n * 1000 * denominator / numerator) ms (OrvFixedStepClock), with the milliseconds since the
// frame before as its elapsed time (the first frame's counted from position 0, as when playing), so
// everything the show simulates moves by the same steps on every capture.
//
// FrameCount gives the frames whose exact time lies before `to`: ceil((to - from) * fps /
// 1000). Render draws them in order; with a queue each picture is read back into a slot and
// submitted, without one every frame is only finished (glFinish), which is what rendering
// alone costs. Render stops early when the queue's output has failed and returns the frames
// rendered. The per-frame path allocates nothing.
//
// Ownership: borrows the show, the target, the run's display facts (which name the target as
// the screen), the queue and the progress. Main thread, with the show's context current.

#include <cstdint>

class OrvCaptureProgress;
class OrvCaptureTarget;
class OrvDisplayFacts;
class OrvFrameQueue;
class OrvShow;

class OrvCaptureRenderer {
public:
    OrvCaptureRenderer(OrvShow& show, OrvCaptureTarget& target, const OrvDisplayFacts& display);

    static uint64_t FrameCount(unsigned fromMs, unsigned toMs, unsigned fpsNumerator,
                               unsigned fpsDenominator);

    uint64_t Render(unsigned fromMs, unsigned fpsNumerator, unsigned fpsDenominator,
                    uint64_t frames, OrvFrameQueue* queue, OrvCaptureProgress* progress);

private:
    OrvShow& show;
    OrvCaptureTarget& target;
    const OrvDisplayFacts& display;
};

#endif
