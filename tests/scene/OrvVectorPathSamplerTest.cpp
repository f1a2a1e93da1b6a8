// The points a vector image path is drawn with: the density rule, its bounds for densities
// that would never end or never stop growing, and the morph between two poses.

#include "scene/OrvVectorPathSampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

typedef OrvVectorPathSampler Sampler;
typedef OrvVectorPathSampler::Segment Segment;

// A cubic whose control points lie at thirds of the line from (x, y) to (x + 3, y): its point
// at t is (x + 3t, y), so each point's x tells its t.
Segment Line(float x, float y, float density) {
    return Segment{x, y, x + 1, y, x + 2, y, x + 3, y, density};
}

// The density rule followed literally, for steps that end: how many t values below 1.
int RuleCount(float density) {
    float step = float(1.0 / (double(density) * double(0.001f)));
    int count = 0;
    for (float t = 0.0f; t < 1.0f; t = t + step)
        ++count;
    return count;
}

std::vector<float> Sample(const Segment& segment, int capacity = Sampler::MaxSegmentPoints) {
    std::vector<float> xy(std::size_t(2 * capacity), -1.0f);
    int count = Sampler::SampleSegment(segment, xy.data(), capacity);
    xy.resize(std::size_t(2 * count));
    return xy;
}

} // namespace

TEST(OrvVectorPathSampler, DensityRuleGivesThePointsBeforeEachStep) {
    // 500 or less: the step is 2 or more, so only the start point.
    std::vector<float> xy = Sample(Line(10, 20, 500));
    ASSERT_EQ(2u, xy.size());
    EXPECT_EQ(10.0f, xy[0]);
    EXPECT_EQ(20.0f, xy[1]);
    EXPECT_EQ(1, Sampler::SegmentPointCount(500));
    EXPECT_EQ(1, Sampler::SegmentPointCount(1));
    // 1000: the step is just under 1, so a second point just before the end.
    xy = Sample(Line(0, 0, 1000));
    ASSERT_EQ(4u, xy.size());
    EXPECT_LT(xy[2], 3.0f);
    EXPECT_GT(xy[2], 2.9999f);

    // 4000: the step is a little under 0.25, so five points, each a little before its quarter,
    // the last just before the end point.
    EXPECT_LT(Sampler::Step(4000), 0.25f);
    xy = Sample(Line(0, 5, 4000));
    ASSERT_EQ(10u, xy.size());
    for (int i = 0; i < 5; ++i) {
        float x = xy[2 * i];
        EXPECT_NEAR(0.75f * float(i), x, 1e-5f) << i;
        if (i > 0) {
            EXPECT_LT(x, 0.75f * float(i)) << i;
        }
        EXPECT_FLOAT_EQ(5.0f, xy[2 * i + 1]);
    }
    EXPECT_EQ(5, Sampler::SegmentPointCount(4000));

    // A curve, not only lines: the midpoint of a cubic is the ends plus 3 x the control
    // points, over 8. Density 2000 gives t = 0, just under 0.5 and just under 1.
    Segment curve{0, 0, 0, 80, 40, 80, 40, 0, 2000};
    xy = Sample(curve);
    ASSERT_EQ(6u, xy.size());
    EXPECT_NEAR(20.0f, xy[2], 1e-4f);
    EXPECT_NEAR(60.0f, xy[3], 1e-4f);
    EXPECT_NEAR(40.0f, xy[4], 1e-4f);
    EXPECT_NEAR(0.0f, xy[5], 1e-4f);

    // Wherever the rule ends below the cap, the count is the rule's.
    for (float density :
         {999.0f, 1000.0f, 1001.0f, 2500.0f, 33333.0f, 20000.0f, 1e5f, 1e6f, 1.0239e6f})
        EXPECT_EQ(RuleCount(density), Sampler::SegmentPointCount(density)) << density;
}

TEST(OrvVectorPathSampler, StepsThatNeverEndGiveTheStartPointAlone) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Density 0 and below make the step infinite, negative or NaN; an infinite density makes
    // it 0; a tiny one underflows. Followed literally, several of these never end.
    for (float density : {0.0f, -0.0f, -1.0f, -4000.0f, -1e30f, nan, -nan, inf, -inf, 1e-42f}) {
        std::vector<float> xy = Sample(Line(7, 9, density));
        ASSERT_EQ(2u, xy.size()) << density;
        EXPECT_EQ(7.0f, xy[0]) << density;
        EXPECT_EQ(9.0f, xy[1]) << density;
        EXPECT_EQ(1, Sampler::SegmentPointCount(density)) << density;
    }
}

TEST(OrvVectorPathSampler, HugeDensitiesAreSpreadOverTheCapEvenly) {
    // 1e7 asks for ten thousand points; 1e12 makes a step that stops moving t long before 1.
    for (float density : {1.03e6f, 1e7f, 1e12f, 3e38f}) {
        EXPECT_EQ(Sampler::MaxSegmentPoints, Sampler::SegmentPointCount(density)) << density;
        std::vector<float> xy = Sample(Line(0, 0, density));
        ASSERT_EQ(std::size_t(2 * Sampler::MaxSegmentPoints), xy.size()) << density;
        EXPECT_EQ(0.0f, xy[0]);
        float last = xy[xy.size() - 2];
        EXPECT_NEAR(3.0f * (Sampler::MaxSegmentPoints - 1) / Sampler::MaxSegmentPoints, last,
                    1e-4f);
        for (int i = 1; i < Sampler::MaxSegmentPoints; ++i)
            ASSERT_NEAR(3.0f / Sampler::MaxSegmentPoints, xy[2 * i] - xy[2 * i - 2], 1e-4f) << i;
    }
    // Never more than the capacity given.
    EXPECT_EQ(3u, Sample(Line(0, 0, 1e7f), 3).size() / 2);
    EXPECT_EQ(0u, Sample(Line(0, 0, 4000), 0).size());
}

TEST(OrvVectorPathSampler, PathsMorphBetweenPosesWithTheFirstPosesDensity) {
    // A square of four line segments, and the same square 8 to the right and 4 down with
    // another density.
    std::vector<Segment> a = {
        Segment{0, 0, 1, 0, 2, 0, 3, 0, 2000}, Segment{3, 0, 3, 1, 3, 2, 3, 3, 4000},
        Segment{3, 3, 2, 3, 1, 3, 0, 3, 500}, Segment{0, 3, 0, 2, 0, 1, 0, 0, -5}};
    std::vector<Segment> b = a;
    for (Segment& s : b) {
        s.x0 += 8, s.x1 += 8, s.x2 += 8, s.x3 += 8;
        s.y0 += 4, s.y1 += 4, s.y2 += 4, s.y3 += 4;
        s.density = 1e7f;
    }
    const int count = 3 + 5 + 1 + 1;
    EXPECT_EQ(count, Sampler::PathPointCount(a.data(), a.size()));

    std::vector<float> alone(2 * count), morph(2 * count);
    ASSERT_EQ(count, Sampler::SamplePath(a.data(), nullptr, a.size(), 0.75f, alone.data(), count));
    ASSERT_EQ(count, Sampler::SamplePath(a.data(), b.data(), a.size(), 0.25f, morph.data(), count));
    for (int i = 0; i < count; ++i) {
        EXPECT_FLOAT_EQ(alone[2 * i] + 2.0f, morph[2 * i]) << i;
        EXPECT_FLOAT_EQ(alone[2 * i + 1] + 1.0f, morph[2 * i + 1]) << i;
    }
    // The outline runs around the square: the corners are where the segments start.
    const float corners[4][2] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    const int firstPoints[4] = {0, 3, 8, 9};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(corners[k][0], alone[2 * firstPoints[k]]) << k;
        EXPECT_EQ(corners[k][1], alone[2 * firstPoints[k] + 1]) << k;
    }

    // A small buffer ends the outline early instead of overrunning.
    std::vector<float> small(2 * 4 + 2, 99.0f);
    EXPECT_EQ(4, Sampler::SamplePath(a.data(), b.data(), a.size(), 0.5f, small.data(), 4));
    EXPECT_EQ(99.0f, small[8]);

    // Blend itself: the ends of the weight give the poses.
    Segment start = Sampler::Blend(a[1], b[1], 0.0f), end = Sampler::Blend(a[1], b[1], 1.0f);
    EXPECT_EQ(a[1].x2, start.x2);
    EXPECT_EQ(b[1].y3, end.y3);
    EXPECT_EQ(a[1].density, end.density);
}

TEST(OrvVectorPathSampler, APathNeverAsksForMoreThanItsLimit) {
    // Enough capped segments to pass the path limit.
    std::vector<Segment> many(Sampler::MaxPathPoints / Sampler::MaxSegmentPoints + 1,
                              Line(0, 0, 1e9f));
    EXPECT_EQ(Sampler::MaxPathPoints, Sampler::PathPointCount(many.data(), many.size()));
    std::vector<float> xy(2 * std::size_t(Sampler::MaxPathPoints) + 2, -7.0f);
    EXPECT_EQ(Sampler::MaxPathPoints,
              Sampler::SamplePath(many.data(), nullptr, many.size(), 0, xy.data(),
                                  Sampler::PathPointCount(many.data(), many.size())));
    EXPECT_EQ(-7.0f, xy[2 * Sampler::MaxPathPoints]);
}

TEST(OrvVectorPathSampler, MorphWeightSwingsAlongASine) {
    // The first draw advances the phase to 0.01: nearly halfway between the poses.
    EXPECT_NEAR(0.505f, Sampler::MorphWeight(0.01f), 1e-4f);
    EXPECT_FLOAT_EQ(0.5f, Sampler::MorphWeight(0.0f));
    EXPECT_FLOAT_EQ(1.0f, Sampler::MorphWeight(1.5707964f));
    EXPECT_NEAR(0.0f, Sampler::MorphWeight(4.712389f), 1e-6f);
}
