#ifndef ORV_CAPTURE_ORVCAPTUREPART_H
#define ORV_CAPTURE_ORVCAPTUREPART_H

// Which frames and sample frames part K of N of a capture holds (Capture --part K/N), so that
// parts rendered apart are together exactly the whole capture. K counts from 1, like Slurm
// array tasks given as --array=1-N.
//
// The whole capture has F frames (OrvCaptureRenderer::FrameCount) and S sample frames
// (OrvCaptureAudio::FrameCount). Part K holds frames floor((K-1) F / N) up to, not including,
// floor(K F / N): contiguous, none left out, none twice, sizes differing by one at most. The
// sound of a frame range [a, b) is the sample frames [At(a), At(b)), At(f) being the sample
// at frame f's exact time, floor(f * 44100 * den / num), and At(F) = S; so the parts' sounds
// put end to end are the whole sound, sample for sample, whatever the rate.
//
// A plain value: computed by Of, never touches a file. Called by OrvCapture, and by the reader
// of part.txt (OrvCapturePartManifest) to check that a part holds what its number says.

#include <cstdint>
#include <string>

class OrvCapturePart {
public:
    unsigned index = 1; // K, 1 to count
    unsigned count = 1; // N
    uint64_t firstFrame = 0;
    uint64_t endFrame = 0; // not in the part
    uint64_t totalFrames = 0;
    uint64_t firstSample = 0;
    uint64_t endSample = 0;
    uint64_t totalSamples = 0;

    // Part `index` of `count` of a capture from `fromMs` to `toMs` at num/den frames a second.
    // False with `error` set ("Capture: ...") when the part would hold no frame.
    static bool Of(unsigned index, unsigned count, unsigned fromMs, unsigned toMs,
                   unsigned fpsNumerator, unsigned fpsDenominator, OrvCapturePart& part,
                   std::string& error);

    // The sample frame at frame `frame`'s exact time, at most `totalSamples`.
    static uint64_t SampleAt(uint64_t frame, unsigned fpsNumerator, unsigned fpsDenominator,
                             uint64_t totalSamples);
};

#endif
