#include "OrvCaptureRenderer.h"

#include "OrvCaptureProgress.h"
#include "OrvCaptureTarget.h"
#include "OrvFrameQueue.h"

#include "base/OrvFixedStepClock.h"
#include "runtime/IOrvFrameSink.h"
#include "runtime/OrvFramePipeline.h"
#include "show/OrvShow.h"

#include <epoxy/gl.h>

namespace {
// The pipeline's output: each picture read back into a slot of the queue, or, without one,
// only finished, which is what rendering alone costs.
class ReadBack : public IOrvFrameSink {
public:
    ReadBack(OrvCaptureTarget& target, OrvFrameQueue* queue) : target(target), queue(queue) {}
    void FrameDrawn(const Frame&) override {
        if (warmingUp)
            return;
        if (!queue) {
            glFinish();
            return;
        }
        uint8_t* slot = queue->Acquire();
        if (!slot) {
            failed = true; // the output failed: Finish says why
            return;
        }
        target.Read(slot);
        queue->Submit();
    }
    bool Failed() const { return failed; }
    // Frames drawn only for the state they leave go nowhere.
    void SetWarmingUp(bool on) { warmingUp = on; }

private:
    OrvCaptureTarget& target;
    OrvFrameQueue* queue;
    bool failed = false;
    bool warmingUp = false;
};
} // namespace

OrvCaptureRenderer::OrvCaptureRenderer(OrvShow& show, OrvCaptureTarget& target,
                                       const OrvDisplayFacts& display)
    : show(show), target(target), display(display) {}

uint64_t OrvCaptureRenderer::FrameCount(unsigned fromMs, unsigned toMs, unsigned fpsNumerator,
                                        unsigned fpsDenominator) {
    if (toMs <= fromMs || fpsNumerator == 0 || fpsDenominator == 0)
        return 0;
    // Frame n's exact time n * 1000 * den / num lies before to - from.
    uint64_t span = static_cast<uint64_t>(toMs - fromMs) * fpsNumerator;
    uint64_t step = 1000ull * fpsDenominator;
    return (span + step - 1) / step;
}

uint64_t OrvCaptureRenderer::Render(unsigned fromMs, unsigned fpsNumerator, unsigned fpsDenominator,
                                    uint64_t firstFrame, uint64_t frames, OrvFrameQueue* queue,
                                    OrvCaptureProgress* progress) {
    OrvFixedStepClock clock(fpsNumerator, fpsDenominator);
    clock.Start(fromMs);
    OrvFramePipeline pipeline(clock, show, display);
    ReadBack readBack(target, queue);
    pipeline.AddOutput(readBack);
    uint64_t drawnFrom = firstFrame > WarmUpFrames ? firstFrame - WarmUpFrames : 0;
    for (uint64_t n = 0; n < drawnFrom; ++n) {
        unsigned position = 0, elapsedMs = 0;
        clock.NextFrame(position, elapsedMs);
        show.Simulate(position, elapsedMs);
    }
    readBack.SetWarmingUp(true);
    for (uint64_t n = drawnFrom; n < firstFrame; ++n)
        pipeline.Step();
    readBack.SetWarmingUp(false);
    uint64_t done = 0;
    while (done < frames) {
        pipeline.Step();
        if (readBack.Failed())
            break;
        ++done;
        if (progress)
            progress->Update(done);
    }
    return done;
}
