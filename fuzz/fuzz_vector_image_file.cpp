// Feeds arbitrary bytes to the vector image reader, and whatever it accepts to the outline
// sampler the way drawing uses it: every path blended between the first two frames.
// Anything but a clean read or an OrvException is a finding.

#include "base/OrvException.h"
#include "scene/OrvVectorImageFile.h"
#include "scene/OrvVectorPathSampler.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OrvVectorImageFile file;
    try {
        file.Parse(data, size, "fuzz.ovi");
    } catch (const OrvException&) {
        return 0;
    }
    if (file.FrameCount() == 0)
        return 0;
    const OrvVectorImageFile::Frame& a = file.FrameAt(0);
    const OrvVectorImageFile::Frame* b = file.FrameCount() > 1 ? &file.FrameAt(1) : nullptr;
    static std::vector<float> points;
    for (std::size_t path = 0; path < file.PathCount(); ++path) {
        std::size_t first = file.FirstSegment(path);
        std::size_t count = file.FirstSegment(path + 1) - first;
        int capacity = OrvVectorPathSampler::PathPointCount(a.segments.data() + first, count);
        if (points.size() < 2 * std::size_t(capacity))
            points.resize(2 * std::size_t(capacity));
        OrvVectorPathSampler::SamplePath(
            a.segments.data() + first, b ? b->segments.data() + first : nullptr, count,
            OrvVectorPathSampler::MorphWeight(0.01f), points.data(), capacity);
    }
    return 0;
}
