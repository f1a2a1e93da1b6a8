#ifndef ORV_ANIMATION_ORVSAMPLEDCURVE_H
#define ORV_ANIMATION_ORVSAMPLEDCURVE_H

// A value over time given as samples at a fixed step of whole milliseconds (a music analysis
// keeps one per source): sample i belongs to the position i * step. Between two samples the
// value is interpolated linearly, so it depends on the position alone; from the last sample
// on, the last value holds; with no samples the value is 0.
//
// Filled while loading (Assign); ValueAt is what a frame asks and allocates nothing. A plain
// value: it owns its samples and nothing else.

#include <cstddef>
#include <vector>

class OrvSampledCurve {
public:
    // No samples, a step of 10 ms.
    OrvSampledCurve();

    // Replaces the samples. A step of 0 is taken as 1 ms.
    void Assign(std::vector<float> samples, unsigned stepMs);
    void Clear() { samples.clear(); }

    double ValueAt(unsigned position) const {
        size_t count = samples.size();
        if (count == 0)
            return 0.0;
        size_t index = position / step;
        if (index + 1 >= count)
            return samples[count - 1];
        double a = samples[index];
        double b = samples[index + 1];
        return a + (b - a) * static_cast<double>(position % step) / step;
    }

    const std::vector<float>& Samples() const { return samples; }
    unsigned Step() const { return step; }

private:
    std::vector<float> samples;
    unsigned step;
};

#endif
