// What a particle system does over time, step by step with fixed elapsed times: the random
// draws of a new particle, how many particles the emitters create, and how gravity, air
// resistance, attractors and the walls of the box move them. Expected values are worked out
// here from the rules, with a generator of the test's own.

#include "scene/OrvObjectParticles.h"

#include "base/OrvRandom.h"
#include "scene/OrvParticleEmitter.h"
#include "support/OrvAllocationCounter.h"

#include "OrvParticleTestSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// The rule for a draw from a range, from a generator of the test's own.
double RangeDraw(OrvRandom& random, double low, double high) {
    int value = random.Next();
    return low + (value / 32767.0) * ((high > low ? high : low) - low);
}

// One particle as the emission rule makes it, for an emitter with these bounds.
struct Expected {
    double x, y, z, vx, vy, vz, life, air;
    float r, g, b, a, size;
    double elasticity, rotation, rotationSpeed;
    int texture;
};

const char* const FullEmitter = "  pos: 1 2 3\n"
                                "  radius: 2 1\n"
                                "  dir.x: -1 1\n"
                                "  dir.y: 2 3\n"
                                "  dir.z: 0 5\n"
                                "  lifeTime: 1 4\n"
                                "  airResistance: 0 0.5\n"
                                "  color.r: 0.5 1\n"
                                "  color.g: 0 0.25\n"
                                "  color.b: 0.75\n"
                                "  color.a: 0.1 0.9\n"
                                "  size: 0.1 0.3\n"
                                "  elasticity: 0 1\n"
                                "  rotation: 0 90\n"
                                "  rotationSpeed: -10 10\n";

Expected ExpectedParticle(OrvRandom& random, int textures) {
    Expected e;
    double distance = RangeDraw(random, 1, 2);
    double dx = random.Next() - 16383.0;
    double dy = random.Next() - 16383.0;
    double dz = random.Next() - 16383.0;
    double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    e.x = 1 + dx / length * distance;
    e.y = 2 + dy / length * distance;
    e.z = 3 + dz / length * distance;
    e.vz = RangeDraw(random, 0, 5);
    e.vy = RangeDraw(random, 2, 3);
    e.vx = RangeDraw(random, -1, 1);
    e.life = RangeDraw(random, 1, 4);
    e.air = RangeDraw(random, 0, 0.5);
    e.r = static_cast<float>(RangeDraw(random, 0.5, 1));
    e.g = static_cast<float>(RangeDraw(random, 0, 0.25));
    e.b = static_cast<float>(RangeDraw(random, 0.75, 0.75));
    e.a = static_cast<float>(RangeDraw(random, 0.1, 0.9));
    e.size = static_cast<float>(RangeDraw(random, 0.1, 0.3));
    e.elasticity = RangeDraw(random, 0, 1);
    e.rotation = RangeDraw(random, 0, 90);
    e.rotationSpeed = RangeDraw(random, -10, 10);
    e.texture = textures < 1 ? -1 : random.Next() % textures;
    return e;
}

void ExpectParticle(const Expected& e, const OrvParticle& p) {
    EXPECT_DOUBLE_EQ(e.x, p.position.x);
    EXPECT_DOUBLE_EQ(e.y, p.position.y);
    EXPECT_DOUBLE_EQ(e.z, p.position.z);
    EXPECT_DOUBLE_EQ(e.vx, p.velocity.x);
    EXPECT_DOUBLE_EQ(e.vy, p.velocity.y);
    EXPECT_DOUBLE_EQ(e.vz, p.velocity.z);
    EXPECT_DOUBLE_EQ(e.life, p.lifeTime);
    EXPECT_EQ(0, p.age);
    EXPECT_DOUBLE_EQ(e.air, p.airResistance);
    EXPECT_FLOAT_EQ(e.r, p.r);
    EXPECT_FLOAT_EQ(e.g, p.g);
    EXPECT_FLOAT_EQ(e.b, p.b);
    EXPECT_FLOAT_EQ(e.a, p.a);
    EXPECT_FLOAT_EQ(e.size, p.size);
    EXPECT_DOUBLE_EQ(e.elasticity, p.elasticity);
    EXPECT_DOUBLE_EQ(e.rotation, p.rotation);
    EXPECT_DOUBLE_EQ(e.rotationSpeed, p.rotationSpeed);
    EXPECT_EQ(e.texture, p.textureIndex);
}

// A system of one particle from an emitter block, made in the first update (0 ms).
OrvObjectParticles* OneParticle(OrvParticleTestSystem& system, const std::string& systemLines,
                                const std::string& emitterLines) {
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 1\n" + systemLines +
                                         " emitter {\n  lifeTime: 0\n" + emitterLines + " }\n}");
    if (fx)
        fx->Update(0);
    return fx;
}

} // namespace

TEST(OrvObjectParticlesMotion, NewParticlesDrawTheirPropertiesInAFixedOrder) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load(std::string("fx: particles {\n maxParticles: 3\n"
                                                     " emitter {\n") +
                                         FullEmitter + " }\n}");
    ASSERT_NE(nullptr, fx);
    OrvRandom generator;
    fx->UseRandom(generator);
    fx->Update(16);
    ASSERT_EQ(3u, fx->Particles().size());
    OrvRandom expected;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ExpectParticle(ExpectedParticle(expected, 0), fx->Particles()[i]);
    }
    // Nothing else drew: the next value of both generators is the same.
    EXPECT_EQ(expected.Next(), generator.Next());

    // With textures the last draw picks one: the raw value modulo their number.
    OrvParticleEmitter emitter = fx->Emitter(0);
    emitter.SetTextureCount(3);
    OrvRandom own;
    OrvRandom expectedOwn;
    for (int i = 0; i < 4; ++i)
        ExpectParticle(ExpectedParticle(expectedOwn, 3), emitter.Emit(own));
    EXPECT_EQ(-4, emitter.Budget()); // each particle spends one

    // Without a positive radius upper bound there is no spread and no draw for it; a lower
    // bound animated above its upper bound always gives the lower bound, but still draws.
    emitter.radius.Set(-1, 0);
    emitter.dirZ.Set(7, 2);
    OrvParticle still = emitter.Emit(own);
    EXPECT_EQ(1, still.position.x);
    EXPECT_EQ(3, still.position.z);
    EXPECT_EQ(7, still.velocity.z);
    expectedOwn.Next();                                               // the draw for dir.z
    EXPECT_DOUBLE_EQ(RangeDraw(expectedOwn, 2, 3), still.velocity.y); // second draw
}

TEST(OrvObjectParticlesMotion, TheDefaultEmitterRefillsThePoolOnEveryUpdate) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n emitter {\n }\n}");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    // White squares of half-side 0.1 that sit at the origin and live one second.
    ASSERT_EQ(1000u, fx->Particles().size());
    for (const OrvParticle& p : fx->Particles()) {
        ASSERT_EQ(0, p.position.x + p.position.y + p.position.z);
        ASSERT_EQ(0, p.velocity.Length());
        ASSERT_EQ(1, p.lifeTime);
        ASSERT_EQ(0.1f, p.size);
        ASSERT_EQ(1.0f, p.r * p.g * p.b * p.a);
        ASSERT_EQ(-1, p.textureIndex);
    }
    fx->Update(600);
    EXPECT_EQ(1000u, fx->Particles().size());
    EXPECT_DOUBLE_EQ(0.6, fx->Particles().front().age);
    // At exactly its life time a particle expires; the pool is refilled with new ones.
    fx->Update(400);
    ASSERT_EQ(1000u, fx->Particles().size());
    EXPECT_EQ(0, fx->Particles().front().age);
    EXPECT_EQ(0, fx->Particles().back().age);
    EXPECT_EQ(0, fx->Emitter(0).Budget()); // a refilling emitter's count does not run down
}

TEST(OrvObjectParticlesMotion, PassesVisitEveryEmitterSoThePoolMayExceedItsSize) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 5\n"
                                         " emitter {\n }\n"
                                         " emitter {\n  pos: 1 0 0\n }\n}");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    ASSERT_EQ(6u, fx->Particles().size());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(i % 2, fx->Particles()[i].position.x) << i; // first, second, first, ...
    fx->Update(16);                                           // no room: nothing new
    EXPECT_EQ(6u, fx->Particles().size());

    // maxParticles 0 (or less) is one particle.
    OrvParticleTestSystem single;
    OrvObjectParticles* one = single.Load("fx: particles {\n maxParticles: 0\n emitter {\n }\n}");
    ASSERT_NE(nullptr, one);
    one->Update(16);
    EXPECT_EQ(1u, one->Particles().size());
}

TEST(OrvObjectParticlesMotion, EmittingSpeedIsParticlesPerSecondWithTheFractionCarried) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 100\n"
                                         " emitter {\n  lifeTime\n }\n"
                                         " emitter[0].emittingSpeed: 3\n}");
    ASSERT_NE(nullptr, fx);
    // 0.3 particles per 100 ms: one after the fourth update, four after fifteen updates.
    for (int i = 0; i < 3; ++i)
        fx->Update(100);
    EXPECT_EQ(0u, fx->Particles().size());
    fx->Update(100);
    EXPECT_EQ(1u, fx->Particles().size());
    for (int i = 4; i < 15; ++i)
        fx->Update(100);
    EXPECT_EQ(4u, fx->Particles().size());
    fx->Update(1000); // 4.5 + 3 = 7.5
    EXPECT_EQ(7u, fx->Particles().size());

    // Speed 0 stops the emitter.
    fx->Emitter(0).UpdateParameter(0, 0);
    for (int i = 0; i < 10; ++i)
        fx->Update(1000);
    EXPECT_EQ(7u, fx->Particles().size());

    // A full pool does not store up a burst: what found no room is dropped.
    fx->UpdateParameter(0, 8);
    fx->Emitter(0).UpdateParameter(0, 1000);
    fx->Update(1000); // earns 1000, room for 1
    EXPECT_EQ(8u, fx->Particles().size());
    for (int i = 0; i < 5; ++i)
        fx->Update(1000);
    fx->UpdateParameter(0, 50);
    fx->Update(1); // earns 1
    EXPECT_EQ(9u, fx->Particles().size());
    EXPECT_EQ(0, fx->Emitter(0).Budget());
}

TEST(OrvObjectParticlesMotion, GravityAirResistanceAndRotation) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx =
        OneParticle(system, " gravity.y: -10\n", "  dir.x: 2\n  dir.y: 5\n  rotationSpeed: 90\n");
    ASSERT_NE(nullptr, fx);
    ASSERT_EQ(1u, fx->Particles().size());
    EXPECT_EQ(0, fx->Particles()[0].position.y); // new particles do not move at once

    // Position moves by the old velocity, then gravity adds to it.
    const double dt = 100 * 0.001;
    fx->Update(100);
    const OrvParticle& p = fx->Particles()[0];
    EXPECT_DOUBLE_EQ(5 * dt, p.position.y);
    EXPECT_DOUBLE_EQ(2 * dt, p.position.x);
    EXPECT_DOUBLE_EQ(5 - 10 * dt, p.velocity.y);
    EXPECT_DOUBLE_EQ(90 * dt, p.rotation);
    EXPECT_EQ(0, p.age); // an immortal particle does not age

    // Air resistance takes its share once per update, however short.
    OrvParticleTestSystem airy;
    OrvObjectParticles* slow = OneParticle(airy, "", "  dir.x: 8\n  airResistance: 0.25\n");
    ASSERT_NE(nullptr, slow);
    slow->Update(1);
    EXPECT_DOUBLE_EQ(6, slow->Particles()[0].velocity.x);
    slow->Update(1);
    EXPECT_DOUBLE_EQ(4.5, slow->Particles()[0].velocity.x);
    EXPECT_DOUBLE_EQ(8 * 0.001 + 6 * 0.001, slow->Particles()[0].position.x);
}

TEST(OrvObjectParticlesMotion, AttractorsPullByOneOverTheDistanceScaledByTheirGravity) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx =
        OneParticle(system,
                    " attractor {\n }\n attractor {\n  pos: 2 3 0\n  gravity: 5\n }\n"
                    " attractor {\n  pos: 2 0 4\n  gravity: -20\n }\n",
                    "  pos: 2 0 0\n");
    ASSERT_NE(nullptr, fx);
    fx->Update(100);
    // The pull of each attractor, in order, worked in float.
    struct Pull {
        double x, y, z, gravity;
    };
    const Pull pulls[] = {{0, 0, 0, 10}, {2, 3, 0, 5}, {2, 0, 4, -20}};
    double vx = 0, vy = 0, vz = 0;
    for (const Pull& a : pulls) {
        float dx = static_cast<float>(2 - a.x);
        float dy = static_cast<float>(0 - a.y);
        float dz = static_cast<float>(0 - a.z);
        float s = (1.0f / (dx * dx + dy * dy + dz * dz)) * (static_cast<float>(a.gravity) / 10.0f);
        vx -= dx * s;
        vy -= dy * s;
        vz -= dz * s;
    }
    // Plainly: 1/2 towards the origin, 1/6 towards (2, 3, 0), 1/2 away from (2, 0, 4).
    EXPECT_NEAR(-0.5, vx, 1e-6);
    EXPECT_NEAR(1.0 / 6, vy, 1e-6);
    EXPECT_NEAR(-0.5, vz, 1e-6);
    const OrvParticle& p = fx->Particles()[0];
    EXPECT_DOUBLE_EQ(vx, p.velocity.x);
    EXPECT_DOUBLE_EQ(vy, p.velocity.y);
    EXPECT_DOUBLE_EQ(vz, p.velocity.z);
    EXPECT_DOUBLE_EQ(2 + vx * 0.1, p.position.x);

    // A particle exactly on an attractor has no direction to be pulled in: the pull is
    // skipped, and nothing becomes NaN; the other attractors still pull.
    OrvParticleTestSystem on;
    OrvObjectParticles* sitting = OneParticle(
        on, " attractor {\n  pos: 1 1 1\n }\n attractor {\n  pos: 1 1 3\n }\n", "  pos: 1 1 1\n");
    ASSERT_NE(nullptr, sitting);
    sitting->Update(16);
    const OrvParticle& q = sitting->Particles()[0];
    EXPECT_EQ(0, q.velocity.x);
    EXPECT_EQ(0, q.velocity.y);
    EXPECT_DOUBLE_EQ(0.5, q.velocity.z);
    EXPECT_DOUBLE_EQ(1 + 0.5 * 0.016, q.position.z);
    // Close to an attractor the pull is strong, but it stays a number.
    for (int i = 0; i < 50; ++i)
        sitting->Update(16);
    EXPECT_TRUE(std::isfinite(q.position.z) && std::isfinite(q.velocity.z));
}

TEST(OrvObjectParticlesMotion, WallsMirrorParticlesBackIntoTheBox) {
    // 0.3 below the floor: put 0.3 above it, the vertical velocity reversed and scaled by
    // the elasticity.
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = OneParticle(system, " box: -5 0 -5 5 10 5\n",
                                         "  pos: 0 0.1 0\n  dir.y: -25\n  dir.x: 1\n"
                                         "  elasticity: 0.5\n");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    const OrvParticle& p = fx->Particles()[0];
    double y = 0.1 - 25 * 0.016;
    EXPECT_NEAR(-0.3, y, 1e-12);
    EXPECT_DOUBLE_EQ(y + 2 * std::fabs(y), p.position.y);
    EXPECT_DOUBLE_EQ(12.5, p.velocity.y);
    EXPECT_DOUBLE_EQ(1, p.velocity.x); // not resting: the rest of the velocity is kept

    // With elasticity 0 the particle rests: the whole velocity is scaled by 0.8.
    OrvParticleTestSystem dead;
    OrvObjectParticles* stop =
        OneParticle(dead, " box: -5 0 -5 5 10 5\n", "  pos: 0 0.1 0\n  dir.y: -25\n  dir.x: 1\n");
    ASSERT_NE(nullptr, stop);
    stop->Update(16);
    const OrvParticle& q = stop->Particles()[0];
    EXPECT_DOUBLE_EQ(y + 2 * std::fabs(y), q.position.y);
    EXPECT_NEAR(0.3, q.position.y, 1e-12);
    EXPECT_EQ(0, q.velocity.y);
    EXPECT_DOUBLE_EQ(0.8, q.velocity.x);

    // Above a maximum the coordinate comes back by as much; the x wall and the ceiling.
    OrvParticleTestSystem high;
    OrvObjectParticles* up = OneParticle(high, " box: -5 0 -5 5 10 5\n",
                                         "  pos: 4.9 9.9 0\n  dir.y: 10\n  dir.x: 5\n"
                                         "  elasticity: 2\n");
    ASSERT_NE(nullptr, up);
    up->Update(100);
    const OrvParticle& r = up->Particles()[0];
    EXPECT_DOUBLE_EQ(9.9 + 1.0 - 2 * std::fabs(9.9 + 1.0 - 10), r.position.y);
    EXPECT_DOUBLE_EQ(4.9 + 0.5 - 2 * std::fabs(4.9 + 0.5 - 5), r.position.x);
    EXPECT_DOUBLE_EQ(-20, r.velocity.y);
    EXPECT_DOUBLE_EQ(-10, r.velocity.x);
}

TEST(OrvObjectParticlesMotion, ParticlesAgeAndExpireWhereTheyStand) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 20\n"
                                         " emitter {\n  lifeTime: 0.2 1.8\n }\n}");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    std::vector<double> lives;
    for (const OrvParticle& p : fx->Particles())
        lives.push_back(p.lifeTime);
    ASSERT_EQ(20u, lives.size());
    fx->Emitter(0).UpdateParameter(0, 0); // no refill from now on

    fx->Update(700);
    std::vector<double> kept;
    for (double life : lives)
        if (life > 0.7)
            kept.push_back(life);
    ASSERT_GT(kept.size(), 0u);
    ASSERT_LT(kept.size(), 20u);
    ASSERT_EQ(kept.size(), fx->Particles().size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        EXPECT_EQ(kept[i], fx->Particles()[i].lifeTime) << i; // in their order
        EXPECT_DOUBLE_EQ(0.7, fx->Particles()[i].age);
    }
    fx->Update(1100);
    EXPECT_EQ(0u, fx->Particles().size());
}

TEST(OrvObjectParticlesMotion, UpdatesAllocateNothingOnceThePoolIsSized) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 3000\n"
                                         " gravity.y: -1\n"
                                         " attractor {\n  pos: 0 1 0\n }\n"
                                         " box: -1 -1 -1 1 1 1\n"
                                         " emitter {\n  lifeTime: 0.05 0.2\n  radius: 0.5\n"
                                         "  dir.x: -3 3\n  airResistance: 0.1\n }\n"
                                         " emitter {\n  lifeTime: 0\n }\n}");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    unsigned long before = OrvAllocationCount();
    for (int i = 0; i < 100; ++i)
        fx->Update(16);
    EXPECT_EQ(before, OrvAllocationCount());
    EXPECT_GE(fx->Particles().size(), 3000u);
    for (const OrvParticle& p : fx->Particles())
        ASSERT_TRUE(std::isfinite(p.position.x + p.position.y + p.position.z));
}

TEST(OrvObjectParticlesMotion, RangesWiderThanTheLargestDoubleDrawBetweenTheirBounds) {
    // The bounds are numbers, but their difference is not: every draw must still lie between
    // them (the plain form gives NaN for the lowest draw and infinities for the others).
    OrvRangeParameter wide;
    wide.Set(-1.5e308, 1.5e308);
    EXPECT_EQ(-1.5e308, OrvParticleEmitter::Draw(wide, 0));
    EXPECT_EQ(1.5e308, OrvParticleEmitter::Draw(wide, OrvRandom::Max));
    EXPECT_NEAR(0, OrvParticleEmitter::Draw(wide, OrvRandom::Max / 2), 1e304);

    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n maxParticles: 50\n"
                                         " emitter {\n  dir.x: 1.5e308 -1.5e308\n }\n}");
    ASSERT_NE(nullptr, fx);
    fx->Update(0);
    ASSERT_EQ(50u, fx->Particles().size());
    int negative = 0;
    for (const OrvParticle& p : fx->Particles()) {
        ASSERT_GE(p.velocity.x, -1.5e308);
        ASSERT_LE(p.velocity.x, 1.5e308);
        negative += p.velocity.x < 0 ? 1 : 0;
    }
    EXPECT_GT(negative, 10);
    EXPECT_LT(negative, 40);
}

TEST(OrvObjectParticlesMotion, ParticlesThatStopBeingNumbersAreRemoved) {
    // Gravity NaN from the timeline never reaches the system: gravity keeps its value and the
    // particle moves on.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = OneParticle(system, "", "  dir.y: 5\n");
    ASSERT_NE(nullptr, fx);
    fx->Update(16);
    ASSERT_EQ(1u, fx->Particles().size());
    EXPECT_DOUBLE_EQ(5 * 0.016, fx->Particles()[0].position.y);
    ASSERT_TRUE(system.parameters.AddParameterHold("fx.gravity.y", 1000, nan));
    system.parameters.UpdateParameters(1000);
    fx->Update(16);
    ASSERT_EQ(1u, fx->Particles().size());
    EXPECT_DOUBLE_EQ(2 * 5 * 0.016, fx->Particles()[0].position.y);
    EXPECT_EQ(5, fx->Particles()[0].velocity.y);

    // A finite start that leaves the range of floats on the way (the largest frame time) goes
    // the same way: drawing takes positions as floats.
    OrvParticleTestSystem far;
    OrvObjectParticles* fast =
        OneParticle(far, " box: -1e308 -1e308 -1e308 1e308 1e308 1e308\n", "  dir.y: 1e36\n");
    ASSERT_NE(nullptr, fast);
    fast->Update(16);
    ASSERT_EQ(1u, fast->Particles().size());
    EXPECT_DOUBLE_EQ(1e36 * 0.016, fast->Particles()[0].position.y); // still a float: kept
    fast->Update(0xFFFFFFFFu);
    ASSERT_EQ(1u, fast->Particles().size());
    EXPECT_EQ(0, fast->Particles()[0].position.y);

    // A turn that overflows alone is enough.
    OrvParticleTestSystem spinning;
    OrvObjectParticles* spin = OneParticle(spinning, "", "  dir.x: 1\n  rotationSpeed: 1e306\n");
    ASSERT_NE(nullptr, spin);
    spin->Update(0xFFFFFFFFu);
    ASSERT_EQ(1u, spin->Particles().size());
    EXPECT_EQ(0, spin->Particles()[0].position.x);

    // Values that are not numbers from the script: nothing such is ever added, and the
    // passes still end when such an emitter is alone.
    const char* const blocks[] = {"  pos: nan 0 0\n", "  dir.z: inf\n", "  rotation: -inf\n",
                                  "  radius: 1e400\n"};
    for (const char* block : blocks) {
        OrvParticleTestSystem bad;
        OrvObjectParticles* none = bad.Load(std::string("fx: particles {\n emitter {\n") + block +
                                            " }\n emitter {\n  pos: 1 2 3\n }\n}");
        ASSERT_NE(nullptr, none) << block;
        none->Update(16);
        none->Update(16);
        // The other emitter fills the pool alone.
        ASSERT_EQ(1000u, none->Particles().size()) << block;
        for (const OrvParticle& p : none->Particles())
            ASSERT_EQ(1, p.position.x) << block;
        OrvParticleTestSystem alone;
        OrvObjectParticles* empty =
            alone.Load(std::string("fx: particles {\n emitter {\n") + block + " }\n}");
        ASSERT_NE(nullptr, empty) << block;
        empty->Update(16);
        EXPECT_EQ(0u, empty->Particles().size()) << block;
    }
}

// Drawing takes corners, sizes and colours as floats: a particle made with one of them not a
// finite float is dropped like one that stopped being a number (one that drifts out of
// float's range: ParticlesThatStopBeingNumbersAreRemoved), and one just inside stays.
TEST(OrvObjectParticlesMotion, ParticlesThatDoNotFitFloatsAreDropped) {
    const char* const blocks[] = {"  size: 1e39\n",    "  pos: 1e300 0 0\n",
                                  "  color.g: nan\n",  "  color.a: -inf\n",
                                  "  size: 3e38\n",    "  pos: 0 3.3e38 0\n  size: 1e37\n",
                                  "  color.r: -1e39\n"};
    for (const char* block : blocks) {
        OrvParticleTestSystem system;
        OrvObjectParticles* fx = OneParticle(system, "", block);
        ASSERT_NE(nullptr, fx) << block;
        EXPECT_EQ(0u, fx->Particles().size()) << block;
    }
    OrvParticleTestSystem inside;
    OrvObjectParticles* kept = OneParticle(inside, "", "  pos: 0 3e38 0\n  size: 1e37\n");
    ASSERT_NE(nullptr, kept);
    ASSERT_EQ(1u, kept->Particles().size());
}
