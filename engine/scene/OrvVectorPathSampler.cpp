#include "scene/OrvVectorPathSampler.h"

#include <cfloat>
#include <cmath>

namespace {

// The point of the cubic at t, all in float.
void Emit(const OrvVectorPathSampler::Segment& s, float t, float* xy) {
    float u = 1.0f - t;
    float b0 = u * u * u;
    float b1 = 3.0f * t * u * u;
    float b2 = 3.0f * t * t * u;
    float b3 = t * t * t;
    xy[0] = b0 * s.x0 + b1 * s.x1 + b2 * s.x2 + b3 * s.x3;
    xy[1] = b0 * s.y0 + b1 * s.y1 + b2 * s.y2 + b3 * s.y3;
}

float Mix(float a, float b, float weight) {
    return (1.0f - weight) * a + weight * b;
}

// True when the step is so small that the rule surely asks for more than MaxSegmentPoints:
// even with every sum rounded up, that many steps stay far below t = 1. Spares walking the
// whole rule to find out.
bool SurelyCapped(float step) {
    return step * float(OrvVectorPathSampler::MaxSegmentPoints) < 0.5f;
}

void EmitSpread(const OrvVectorPathSampler::Segment& s, int count, float* xy) {
    for (int i = 0; i < count; ++i)
        Emit(s, float(i) / float(count), xy + 2 * i);
}

} // namespace

float OrvVectorPathSampler::Step(float density) {
    // The product is not rounded to float: that is what makes density 4000 step a little
    // under 0.25 (and give five points), where a float product would give 0.25 exactly.
    double step = 1.0 / (double(density) * double(0.001f));
    // Beyond float's range (a tiny density) the conversion alone would be undefined.
    if (step > FLT_MAX)
        return INFINITY;
    if (step < -FLT_MAX)
        return -INFINITY;
    return static_cast<float>(step);
}

int OrvVectorPathSampler::SegmentPointCount(float density) {
    float step = Step(density);
    if (!(step > 0.0f))
        return 1;
    if (SurelyCapped(step))
        return MaxSegmentPoints;
    int count = 0;
    for (float t = 0.0f; t < 1.0f && count < MaxSegmentPoints; t = t + step)
        ++count;
    return count;
}

int OrvVectorPathSampler::SampleSegment(const Segment& segment, float* xy, int capacity) {
    int limit = capacity < MaxSegmentPoints ? capacity : MaxSegmentPoints;
    if (limit <= 0)
        return 0;
    float step = Step(segment.density);
    if (!(step > 0.0f)) {
        Emit(segment, 0.0f, xy);
        return 1;
    }
    if (SurelyCapped(step) && limit == MaxSegmentPoints) {
        EmitSpread(segment, limit, xy);
        return limit;
    }
    int count = 0;
    float t = 0.0f;
    while (t < 1.0f && count < limit) {
        Emit(segment, t, xy + 2 * count);
        ++count;
        t = t + step;
    }
    if (t < 1.0f && count == MaxSegmentPoints) // more than allowed: spread them over the curve
        EmitSpread(segment, count, xy);
    return count;
}

float OrvVectorPathSampler::MorphWeight(float phase) {
    return std::sin(phase) * 0.5f + 0.5f;
}

OrvVectorPathSampler::Segment OrvVectorPathSampler::Blend(const Segment& a, const Segment& b,
                                                          float weight) {
    Segment s;
    s.x0 = Mix(a.x0, b.x0, weight);
    s.y0 = Mix(a.y0, b.y0, weight);
    s.x1 = Mix(a.x1, b.x1, weight);
    s.y1 = Mix(a.y1, b.y1, weight);
    s.x2 = Mix(a.x2, b.x2, weight);
    s.y2 = Mix(a.y2, b.y2, weight);
    s.x3 = Mix(a.x3, b.x3, weight);
    s.y3 = Mix(a.y3, b.y3, weight);
    s.density = a.density;
    return s;
}

int OrvVectorPathSampler::PathPointCount(const Segment* segments, std::size_t count) {
    int total = 0;
    for (std::size_t k = 0; k < count && total < MaxPathPoints; ++k)
        total += SegmentPointCount(segments[k].density); // at most MaxSegmentPoints: no overflow
    return total < MaxPathPoints ? total : MaxPathPoints;
}

int OrvVectorPathSampler::SamplePath(const Segment* a, const Segment* b, std::size_t count,
                                     float weight, float* xy, int capacity) {
    int written = 0;
    for (std::size_t k = 0; k < count && written < capacity; ++k) {
        Segment s = b ? Blend(a[k], b[k], weight) : a[k];
        written += SampleSegment(s, xy + 2 * written, capacity - written);
    }
    return written;
}
