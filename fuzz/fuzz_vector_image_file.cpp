// Feeds arbitrary bytes to the vector image reader, and whatever it accepts to the outline
// sampler the way drawing uses it: every path blended between the first two frames, at the
// first morph weight and at both ends of the swing. Anything but a clean read or an
// OrvException is a finding; so is, strictly, any point or layer colour that drawing would
// send that is not a finite number. Memory is bounded as OrvFuzzMemoryBound says.

#include "OrvFuzzMemoryBound.h"

#include "base/OrvException.h"
#include "scene/OrvVectorImageFile.h"
#include "scene/OrvVectorPathSampler.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OrvFuzzMemoryBound::AddMemoryBound(argc, argv);
    return 0;
}

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
    for (const OrvVectorImageFile::LayerHeader& layer : a.layers)
        if (!(std::isfinite(layer.red) && std::isfinite(layer.green) && std::isfinite(layer.blue) &&
              std::isfinite(layer.alpha)))
            Broken("a layer colour is not a finite number");
    static std::vector<float> points;
    const float weights[] = {OrvVectorPathSampler::MorphWeight(0.01f), 0.0f, 1.0f};
    for (std::size_t path = 0; path < file.PathCount(); ++path) {
        std::size_t first = file.FirstSegment(path);
        std::size_t count = file.FirstSegment(path + 1) - first;
        int capacity = OrvVectorPathSampler::PathPointCount(a.segments.data() + first, count);
        if (points.size() < 2 * std::size_t(capacity))
            points.resize(2 * std::size_t(capacity));
        for (float weight : weights) {
            int written = OrvVectorPathSampler::SamplePath(a.segments.data() + first,
                                                           b ? b->segments.data() + first : nullptr,
                                                           count, weight, points.data(), capacity);
            for (int i = 0; i < 2 * written; ++i)
                if (!std::isfinite(points[i]))
                    Broken("a point of an outline is not a finite number");
        }
    }
    return 0;
}
