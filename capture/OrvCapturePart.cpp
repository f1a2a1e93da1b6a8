#include "OrvCapturePart.h"

#include "OrvCaptureAudio.h"
#include "OrvCaptureRenderer.h"
#include "OrvWavWriter.h"

uint64_t OrvCapturePart::SampleAt(uint64_t frame, unsigned fpsNumerator, unsigned fpsDenominator,
                                  uint64_t totalSamples) {
    if (fpsNumerator == 0)
        return 0;
    // frame * den * 44100 / num without overflow: frame * den stays below 2^63 for any
    // capture (2^32 ms at 1000 frames a second, den at most 10^6), its product with 44100
    // may not, so the quotient and the remainder by num are scaled apart.
    uint64_t scaled = frame * fpsDenominator;
    uint64_t quotient = scaled / fpsNumerator;
    uint64_t remainder = scaled % fpsNumerator;
    uint64_t sample = quotient * OrvWavWriter::Rate + remainder * OrvWavWriter::Rate / fpsNumerator;
    return sample < totalSamples ? sample : totalSamples;
}

bool OrvCapturePart::Of(unsigned index, unsigned count, unsigned fromMs, unsigned toMs,
                        unsigned fpsNumerator, unsigned fpsDenominator, OrvCapturePart& part,
                        std::string& error) {
    part.index = index;
    part.count = count;
    part.totalFrames = OrvCaptureRenderer::FrameCount(fromMs, toMs, fpsNumerator, fpsDenominator);
    part.totalSamples = OrvCaptureAudio::FrameCount(fromMs, toMs);
    if (index < 1 || index > count) {
        error = "Capture: there is no part " + std::to_string(index) + " of " +
                std::to_string(count) + ": parts count from 1";
        return false;
    }
    part.firstFrame = (index - 1) * part.totalFrames / count;
    part.endFrame = index * part.totalFrames / count;
    if (part.firstFrame == part.endFrame) {
        error = "Capture: part " + std::to_string(index) + "/" + std::to_string(count) +
                " would hold no frame: the capture has " + std::to_string(part.totalFrames) +
                " frames; ask for at most that many parts";
        return false;
    }
    part.firstSample = SampleAt(part.firstFrame, fpsNumerator, fpsDenominator, part.totalSamples);
    part.endSample = index == count
                         ? part.totalSamples
                         : SampleAt(part.endFrame, fpsNumerator, fpsDenominator, part.totalSamples);
    return true;
}
