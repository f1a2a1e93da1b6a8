// Feeds arbitrary bytes to the reader of a capture part's part.txt (OrvCapturePartManifest),
// which the join reads from folders that other machines wrote. What it accepts must be a part
// the join can trust: its ranges inside the whole capture's, and what it writes back read the same.

#include "OrvCapturePartManifest.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    OrvCapturePartManifest manifest;
    OrvCapturePartManifest::Error error;
    if (!OrvCapturePartManifest::Parse(text, manifest, error)) {
        if (error.message.empty() || error.kind == OrvCapturePartManifest::Fault::None)
            std::abort();
        return 0;
    }
    const OrvCapturePart& part = manifest.part;
    if (part.index < 1 || part.index > part.count || part.firstFrame >= part.endFrame ||
        part.endFrame > part.totalFrames || part.firstSample > part.endSample ||
        part.endSample > part.totalSamples || manifest.toMs <= manifest.fromMs)
        std::abort();
    OrvCapturePartManifest again;
    if (!OrvCapturePartManifest::Parse(manifest.Text(), again, error) ||
        again.Text() != manifest.Text() || !again.SameCapture(manifest))
        std::abort();
    return 0;
}
