// The square a particle is drawn as, worked out without OpenGL: its corners and colours, and
// the particles that are left out because they face nothing or do not fit floats.

#include "scene/OrvParticleBatch.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

namespace {

OrvParticle Plain() {
    OrvParticle p = OrvParticle();
    p.r = 1;
    p.g = 0.5f;
    p.b = 0.25f;
    p.a = 1;
    p.size = 1;
    p.lifeTime = 2;
    p.age = 0.5;
    p.textureIndex = -1;
    return p;
}

} // namespace

TEST(OrvParticleBatch, SquaresFaceTheCameraAndOnlyFiniteFloatsAreWritten) {
    const OrvVector3 camera(0, 0, 10);
    const OrvVector3 up(0, 1, 0);
    float corners[12];
    float colors[16];

    OrvParticle p = Plain();
    ASSERT_EQ(OrvParticleBatch::Written,
              OrvParticleBatch::WriteSquare(p, camera, up, true, corners, colors));
    const float expected[12] = {-1, 1, 0, 1, 1, 0, 1, -1, 0, -1, -1, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_FLOAT_EQ(expected[i], corners[i]) << i;
    EXPECT_FLOAT_EQ(0.75f, colors[3]); // a quarter of its life gone
    EXPECT_FLOAT_EQ(0.5f, colors[13]);

    // At the camera there is no direction to face.
    p.position = camera;
    EXPECT_EQ(OrvParticleBatch::AtCamera,
              OrvParticleBatch::WriteSquare(p, camera, up, false, corners, colors));

    // Colours and corners that are not finite floats are never written as drawn, whatever
    // the camera's up vector is.
    p = Plain();
    p.b = std::nanf("");
    EXPECT_EQ(OrvParticleBatch::NotFinite,
              OrvParticleBatch::WriteSquare(p, camera, up, false, corners, colors));
    p = Plain();
    p.position = OrvVector3(3e38, 0, 0);
    p.size = 1e38f; // seen along z, the square reaches x = 4e38
    EXPECT_EQ(
        OrvParticleBatch::NotFinite,
        OrvParticleBatch::WriteSquare(p, OrvVector3(3e38, 0, 10), up, false, corners, colors));
    p.size = 1e37f;
    EXPECT_EQ(OrvParticleBatch::Written, OrvParticleBatch::WriteSquare(p, OrvVector3(3e38, 0, 10),
                                                                       up, false, corners, colors));
    p.size = 1;
    EXPECT_EQ(
        OrvParticleBatch::NotFinite,
        OrvParticleBatch::WriteSquare(p, camera, OrvVector3(0, 1e300, 0), false, corners, colors));
    p.position = OrvVector3(1e300, 0, 0);
    EXPECT_EQ(OrvParticleBatch::NotFinite,
              OrvParticleBatch::WriteSquare(p, camera, up, false, corners, colors));

    // A life time too short for a float fades by the double quotient instead of 0 / 0.
    p = Plain();
    p.lifeTime = 1e-320;
    p.age = 0;
    ASSERT_EQ(OrvParticleBatch::Written,
              OrvParticleBatch::WriteSquare(p, camera, up, true, corners, colors));
    EXPECT_EQ(1.0f, colors[3]);
    p.lifeTime = 1e300;
    p.age = 1e299;
    ASSERT_EQ(OrvParticleBatch::Written,
              OrvParticleBatch::WriteSquare(p, camera, up, true, corners, colors));
    EXPECT_FLOAT_EQ(0.9f, colors[3]); // inf / inf in float: the share is 0.1 in double
}
