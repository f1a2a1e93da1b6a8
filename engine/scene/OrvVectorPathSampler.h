#ifndef ORV_SCENE_ORVVECTORPATHSAMPLER_H
#define ORV_SCENE_ORVVECTORPATHSAMPLER_H

// Turns the Bezier segments of a vector image path into the points of its outline, and
// blends two poses of a segment. Plain float arithmetic, no OpenGL; the vector image object
// fills the outline it gets (OrvPathFill).
//
// The density rule: a segment of density w is sampled at t = 0, t + s, t + 2s (each sum
// rounded to float) ... while t < 1, with the step s = 1 / (w * 0.001f), the product taken in
// double and the quotient rounded to float. So about w / 1000 points; density 500 or less
// gives the start point alone, density 1000 two (the second just before the end), density
// 4000 five a little before t = 0, 0.25, 0.5, 0.75 and 1. The point t = 1 is never given: the next
// segment's start follows, and the fill closes the outline back to its first point.
//
// Bounds (a damaged or hostile file must not hang the engine or exhaust memory):
// - A step that is 0 or less or not a number (density 0, negative, infinite, NaN) gives the
//   start point alone, where repeating the step would never reach 1.
// - At most MaxSegmentPoints per segment. A segment whose rule asks for more (a huge density,
//   or a step so small that adding it no longer moves t) is drawn with MaxSegmentPoints points
//   evenly spread over t = 0 ... (n - 1) / n instead, so its shape stays whole.
// - At most MaxPathPoints per path: PathPointCount never says more, and SamplePath stops at
//   the capacity it is given, so a path that would need more closes early.
//
// Owns nothing, allocates nothing: the caller gives the point buffer (x, y pairs of floats).
// Callable from any thread.

#include "scene/OrvVectorImageFile.h"

#include <cstddef>

class OrvVectorPathSampler {
public:
    typedef OrvVectorImageFile::Segment Segment;

    static constexpr int MaxSegmentPoints = 1024;
    static constexpr int MaxPathPoints = 1 << 20;

    // The step of the density rule (see above).
    static float Step(float density);
    // How many points SampleSegment gives a segment of this density: 1 to MaxSegmentPoints.
    static int SegmentPointCount(float density);
    // Writes the points of one segment (at most `capacity`) as x, y pairs to `xy` and returns
    // how many it wrote: SegmentPointCount(segment.density) when the capacity allows.
    static int SampleSegment(const Segment& segment, float* xy, int capacity);

    // The morph weight for a phase: sin(phase) * 0.5 + 0.5, in float (0 gives pose a, 1 pose b).
    static float MorphWeight(float phase);
    // Each of the eight coordinates as (1 - weight) * a + weight * b, in float; the density
    // is a's, so the number of points does not change while morphing.
    static Segment Blend(const Segment& a, const Segment& b, float weight);

    // Points of a path of `count` segments: the sum of their SegmentPointCount, at most
    // MaxPathPoints. Enough capacity for SamplePath with the same segments as `a`.
    static int PathPointCount(const Segment* segments, std::size_t count);
    // The outline of a path blended between two poses (`b` null: pose a alone), segment by
    // segment, into `xy`; stops when `capacity` points are written. Returns the point count.
    static int SamplePath(const Segment* a, const Segment* b, std::size_t count, float weight,
                          float* xy, int capacity);
};

#endif
