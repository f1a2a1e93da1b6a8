// The unit normal of one face, worked out in double where lib3ds's float arithmetic fails.

#include "scene/Orv3dsFaceNormal.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

TEST(Orv3dsFaceNormal, EveryFiniteTriangleGetsAUnitNormal) {
    float n[3];
    // Oriented as lib3ds orients faces: (c - b) x (a - b); at any scale floats allow.
    for (float scale : {1e-30f, 1.0f, 1e19f, 1e38f, FLT_MAX / 2}) {
        SCOPED_TRACE(scale);
        const float a[3] = {0, scale, 0};
        const float b[3] = {0, 0, 0};
        const float c[3] = {scale, 0, 0};
        Orv3dsFaceNormal::Compute(a, b, c, n);
        EXPECT_FLOAT_EQ(0, n[0]);
        EXPECT_FLOAT_EQ(0, n[1]);
        EXPECT_FLOAT_EQ(1, n[2]);
        EXPECT_TRUE(Orv3dsFaceNormal::IsUnit(n));
    }
    // Corners from one end of float's range to the other.
    const float far[3][3] = {{-FLT_MAX, -FLT_MAX, 0}, {FLT_MAX, -FLT_MAX, 0}, {0, FLT_MAX, 1}};
    Orv3dsFaceNormal::Compute(far[0], far[1], far[2], n);
    EXPECT_TRUE(Orv3dsFaceNormal::IsUnit(n));
    EXPECT_GT(n[2], 0.99f);

    // Without area there is no direction: (1, 0, 0), as lib3ds gives.
    const float p[3] = {1e30f, 2e30f, 3e30f};
    const float q[3] = {2e30f, 4e30f, 6e30f};
    Orv3dsFaceNormal::Compute(p, p, p, n);
    EXPECT_EQ(1.0f, n[0]);
    Orv3dsFaceNormal::Compute(p, q, p, n);
    EXPECT_EQ(1.0f, n[0]);
    EXPECT_EQ(0.0f, n[1]);
    EXPECT_EQ(0.0f, n[2]);

    const float nan = std::nanf("");
    const float bad[][3] = {{nan, 0, 1}, {0, 0, HUGE_VALF}, {0, 0, 0}, {0.6f, 0.8f, 0.1f}};
    for (const float* v : bad)
        EXPECT_FALSE(Orv3dsFaceNormal::IsUnit(v));
    const float good[3] = {0.6f, 0.8f, 0};
    EXPECT_TRUE(Orv3dsFaceNormal::IsUnit(good));
}
