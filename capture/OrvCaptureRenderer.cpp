#include "OrvCaptureRenderer.h"

#include "OrvCaptureProgress.h"
#include "OrvCaptureTarget.h"
#include "OrvFrameQueue.h"

#include "base/OrvFixedStepClock.h"
#include "show/OrvShow.h"

#include <GL/glew.h>

OrvCaptureRenderer::OrvCaptureRenderer(OrvShow& show, OrvCaptureTarget& target)
    : show(show), target(target) {}

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
                                    uint64_t frames, OrvFrameQueue* queue,
                                    OrvCaptureProgress* progress) {
    OrvFixedStepClock clock(fpsNumerator, fpsDenominator);
    clock.Start(fromMs);
    uint64_t done = 0;
    while (done < frames) {
        unsigned position = 0;
        unsigned elapsed = 0;
        clock.NextFrame(position, elapsed);
        // The screen line draws into whatever is bound when it starts.
        target.Bind();
        show.Frame(position, elapsed);
        if (queue) {
            uint8_t* slot = queue->Acquire();
            if (!slot)
                break; // the output failed: Finish says why
            target.Read(slot);
            queue->Submit();
        } else {
            glFinish();
        }
        ++done;
        if (progress)
            progress->Update(done);
    }
    return done;
}
