// Particle systems as the script declares them: the keys of the object's, emitters' and
// attractors' blocks, the parameters they register with their starting values and
// conversions, and the messages of faulty blocks.

#include "scene/OrvObjectParticles.h"

#include "OrvParticleTestSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const char* const RangeNames[] = {
    "lifeTime", "dir.x",   "dir.y", "dir.z",      "airResistance", "color.r",       "color.g",
    "color.b",  "color.a", "size",  "elasticity", "rotation",      "rotationSpeed", "radius"};

} // namespace

TEST(OrvObjectParticlesScript, AnEmitterAloneRegistersEveryParameterWithItsDefault) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n emitter {\n }\n}");
    ASSERT_NE(nullptr, fx);

    std::vector<std::string> expected = {"fx.maxParticles",
                                         "fx.fadeAway",
                                         "fx.drawingMode",
                                         "fx.gravity.x",
                                         "fx.gravity.y",
                                         "fx.gravity.z",
                                         "fx.emitter[0].emittingSpeed",
                                         "fx.emitter[0].pos.x",
                                         "fx.emitter[0].pos.y",
                                         "fx.emitter[0].pos.z"};
    for (const char* range : RangeNames) {
        expected.push_back(std::string("fx.emitter[0].") + range + ".min");
        expected.push_back(std::string("fx.emitter[0].") + range + ".max");
    }
    std::vector<std::string> names;
    for (int i = 0; i < system.parameters.ParameterCount(); ++i)
        names.push_back(system.parameters.FullName(i));
    EXPECT_EQ(expected, names);
    EXPECT_EQ("", fx->ParameterName(3));
    EXPECT_EQ("", fx->Emitter(0).ParameterName(1));

    EXPECT_EQ(1000, system.Read("fx.maxParticles"));
    EXPECT_EQ(0, system.Read("fx.fadeAway"));
    EXPECT_EQ(0, system.Read("fx.drawingMode"));
    EXPECT_EQ(0, system.Read("fx.gravity.y"));
    EXPECT_EQ(-1, system.Read("fx.emitter[0].emittingSpeed"));
    EXPECT_EQ(0, system.Read("fx.emitter[0].pos.x"));
    // Ranges: life time one second, opaque white, half-side 0.1, everything else 0.
    for (const char* range : RangeNames) {
        std::string name = range;
        double value = name == "lifeTime"                  ? 1.0
                       : name.compare(0, 6, "color.") == 0 ? 1.0
                       : name == "size"                    ? 0.1
                                                           : 0.0;
        EXPECT_EQ(value, system.Read("fx.emitter[0]." + name + ".min")) << name;
        EXPECT_EQ(value, system.Read("fx.emitter[0]." + name + ".max")) << name;
    }
    // The box reaches 100000 each way; no attractors, textures or programs.
    EXPECT_EQ(-100000, fx->BoxMinimum().x);
    EXPECT_EQ(100000, fx->BoxMaximum().z);
    EXPECT_EQ(0, fx->AttractorCount());
    EXPECT_EQ(0, fx->TextureCount());
    EXPECT_EQ(-1, fx->ShaderIndex());
    EXPECT_EQ(0, fx->Emitter(0).TextureCount());
    EXPECT_EQ(0u, fx->Particles().size()); // the pool fills on the first update
    EXPECT_EQ(0u, fx->Flags());
    EXPECT_EQ(nullptr, fx->Duplicate());
}

TEST(OrvObjectParticlesScript, BlocksOfEmittersAttractorsAndTheBox) {
    OrvParticleTestSystem system;
    const std::string logBefore = system.context.diagnostics.Text();
    OrvObjectParticles* fx = system.Load("fx: particles {\n"
                                         " box: 5 0 5 -5 10 -5\n"
                                         " emitter {\n"
                                         "  lifeTime: 2 1\n"
                                         "  dir.x: 3\n"
                                         "  dir.y\n"
                                         "  size: 0.5 0.2 9\n"
                                         "  color.g: -1 -2\n"
                                         "  pos: 1 2 3\n"
                                         " }\n"
                                         " attractor {\n"
                                         "  pos: 4 5 6\n"
                                         "  gravity: 2.5 7\n"
                                         " }\n"
                                         " emitter: 7 {\n" // words after it are ignored
                                         "  radius: 1 3\n"
                                         "  airResistance: 0.25\n"
                                         " }\n"
                                         " attractor {\n"
                                         " }\n"
                                         "}");
    ASSERT_NE(nullptr, fx);
    EXPECT_EQ(logBefore, system.context.diagnostics.Text()); // nothing was left unread

    EXPECT_EQ(-5, fx->BoxMinimum().x);
    EXPECT_EQ(0, fx->BoxMinimum().y);
    EXPECT_EQ(-5, fx->BoxMinimum().z);
    EXPECT_EQ(5, fx->BoxMaximum().x);
    EXPECT_EQ(10, fx->BoxMaximum().y);
    EXPECT_EQ(5, fx->BoxMaximum().z);

    ASSERT_EQ(2, fx->EmitterCount());
    OrvParticleEmitter& first = fx->Emitter(0);
    EXPECT_EQ(1, first.lifeTime.min); // two numbers in either order
    EXPECT_EQ(2, first.lifeTime.max);
    EXPECT_EQ(3, first.dirX.min); // one number: both bounds
    EXPECT_EQ(3, first.dirX.max);
    EXPECT_EQ(0, first.dirY.min); // none: both 0
    EXPECT_EQ(0, first.dirY.max);
    EXPECT_EQ(0.2, first.size.min); // only the first two count
    EXPECT_EQ(0.5, first.size.max);
    EXPECT_EQ(-2, first.colorG.min);
    EXPECT_EQ(-1, first.colorG.max);
    EXPECT_EQ(2, first.pos.vector.y);
    EXPECT_EQ(3, first.pos.vector.z);
    OrvParticleEmitter& second = fx->Emitter(1);
    EXPECT_EQ(1, second.radius.min);
    EXPECT_EQ(3, second.radius.max);
    EXPECT_EQ(0.25, second.airResistance.max);
    EXPECT_EQ(1, second.lifeTime.min); // untouched keys keep their defaults

    ASSERT_EQ(2, fx->AttractorCount());
    EXPECT_EQ(5, fx->Attractor(0).position.y);
    EXPECT_EQ(2.5f, fx->Attractor(0).gravity);
    EXPECT_EQ(0, fx->Attractor(1).position.x);
    EXPECT_EQ(10.0f, fx->Attractor(1).gravity);

    // The second emitter's parameters follow the first's.
    EXPECT_EQ(1, system.Read("fx.emitter[1].radius.min"));
    EXPECT_EQ(1, system.Read("fx.emitter[0].lifeTime.min"));
    EXPECT_EQ(2, system.Read("fx.emitter[0].lifeTime.max"));
}

TEST(OrvObjectParticlesScript, InitialValuesAndConversions) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n"
                                         " emitter {\n"
                                         " }\n"
                                         " emitter {\n"
                                         " }\n"
                                         " maxParticles: 500.9\n"
                                         " fadeAway: 0.5\n"
                                         " drawingMode: 0.2\n"
                                         " gravity.y: -9.5\n"
                                         " emitter[1].emittingSpeed: 5.7\n"
                                         " emitter[1].color.a.max: 0.5\n"
                                         "}");
    ASSERT_NE(nullptr, fx);
    EXPECT_EQ(500, fx->MaxParticles()); // truncated
    EXPECT_TRUE(fx->FadeAway());        // any value but 0
    EXPECT_EQ(1, fx->DrawingMode());    // any value but 0 is 1
    EXPECT_EQ(-9.5, fx->Gravity().vector.y);
    EXPECT_EQ(5, fx->Emitter(1).EmittingSpeed()); // truncated toward zero
    EXPECT_EQ(-1, fx->Emitter(0).EmittingSpeed());
    EXPECT_EQ(0.5, fx->Emitter(1).colorA.max);
    EXPECT_EQ(1, system.Read("fx.fadeAway"));

    // maxParticles: 0 or less gives 1; a number past the limit gives the limit; NaN gives 1.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double cases[][2] = {
        {0, 1},   {-5, 1}, {2.9, 2}, {nan, 1}, {1e12, OrvObjectParticles::MaxParticleLimit},
        {-0.5, 1}};
    for (const auto& c : cases) {
        fx->UpdateParameter(0, c[0]);
        EXPECT_EQ(c[1], system.Read("fx.maxParticles")) << c[0];
    }
    fx->UpdateParameter(2, 0);
    EXPECT_EQ(0, fx->DrawingMode());
    fx->UpdateParameter(2, -3);
    EXPECT_EQ(1, fx->DrawingMode());
    fx->UpdateParameter(1, 0);
    EXPECT_FALSE(fx->FadeAway());

    // The emitting speed keeps only the whole number: -0.5 stops the emitter, NaN too.
    OrvParticleEmitter& emitter = fx->Emitter(0);
    emitter.UpdateParameter(0, -2.7);
    EXPECT_EQ(-2, emitter.EmittingSpeed());
    emitter.UpdateParameter(0, -0.5);
    EXPECT_EQ(0, emitter.EmittingSpeed());
    emitter.UpdateParameter(0, nan);
    EXPECT_EQ(0, emitter.EmittingSpeed());
    emitter.UpdateParameter(0, 1e300);
    EXPECT_TRUE(emitter.EmittingSpeed() > 9e18 && emitter.EmittingSpeed() < 1e19);
    double read = 0;
    EXPECT_TRUE(emitter.ReadParameter(0, read));
    EXPECT_EQ(emitter.EmittingSpeed(), read);
    EXPECT_FALSE(emitter.ReadParameter(1, read));
}

TEST(OrvObjectParticlesScript, FaultyBlocksFailWithTheirMessages) {
    struct Case {
        const char* block;
        const char* message;
    };
    const Case cases[] = {
        {"fx: particles {\n}", "No emitters set"},
        {"fx: particles {\n attractor {\n }\n}", "No emitters set"},
        {"fx: particles {\n emitter {\n }\n box: 1 2 3 4 5\n}",
         "Invalid number of arguments for box (expected 6: x1, y1, z1, x2, y2, z2)"},
        {"fx: particles {\n emitter {\n }\n box: 1 2 3 4 5 6 7\n}",
         "Invalid number of arguments for box (expected 6: x1, y1, z1, x2, y2, z2)"},
        {"fx: particles {\n emitter {\n  pos: 1 2\n }\n}",
         "Invalid number of arguments for pos (expected 3)"},
        {"fx: particles {\n emitter {\n }\n attractor {\n  pos: 1 2 3 4\n }\n}",
         "Invalid number of arguments for pos (expected 3)"},
        {"fx: particles {\n emitter {\n }\n attractor {\n  gravity\n }\n}",
         "Invalid gravity value"},
        {"fx: particles {\n emitter {\n  speed: 3\n }\n}", "Invalid parameter: speed: 3"},
        // A lone word keeps its colon, so "lifeTime:" is not the key lifeTime.
        {"fx: particles {\n emitter {\n  lifeTime:\n }\n}", "Invalid parameter: lifeTime:"},
        {"fx: particles {\n emitter {\n }\n attractor {\n  radius: 2\n }\n}",
         "Invalid parameter: radius: 2"},
    };
    for (const Case& c : cases) {
        OrvParticleTestSystem system;
        EXPECT_EQ(c.message, system.LoadError(c.block)) << c.block;
        EXPECT_EQ(0, system.objects.ObjectCount()) << c.block; // a failed Init adds nothing
    }
}

TEST(OrvObjectParticlesScript, LinesNoKeyReadAreLeftToTheObjectManager) {
    // "shader" and "textures" without names are not keys; "emitter:" alone is named with its
    // colon; "gravity" is not a key of the system (only gravity.x, .y and .z are parameters).
    struct Case {
        const char* line;
        const char* logged; // with the keys and parameters it is near
    };
    const Case cases[] = {{" shader\n", "shader"},
                          {" textures\n", "textures"},
                          {" emitter: {\n }\n", "emitter:\nDid you mean:\n\nemitter"},
                          {" gravity: 0 -1 0\n",
                           "gravity: 0 -1 0\nDid you mean:\n\ngravity.x\ngravity.y\ngravity.z"}};
    for (const Case& c : cases) {
        OrvParticleTestSystem system;
        const std::size_t logged = system.context.diagnostics.Text().size();
        std::string block = std::string("fx: particles {\n emitter {\n }\n") + c.line + "}";
        EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
                  system.LoadError(block))
            << c.line;
        EXPECT_EQ(std::string("Error: Line not processed: ") + c.logged + "\n",
                  system.context.diagnostics.Text().substr(logged));
    }
}

TEST(OrvObjectParticlesScript, TheFactoryKnowsTheClassWordAndRefusesCopies) {
    OrvParticleTestSystem system;
    ASSERT_NE(nullptr, system.Load("fx: particles {\n emitter {\n }\n}"));
    EXPECT_EQ("Object class could not be initialized: Particles\nDid you mean:\n\nparticles",
              system.LoadError("fy: Particles {\n emitter {\n }\n}"));
    EXPECT_EQ("Could not duplicate object, because it does not support duplication: fx",
              system.LoadError("copy: duplicate fx"));
}

TEST(OrvObjectParticlesScript, EveryParameterReadsBackWhatSetsIt) {
    OrvParticleTestSystem system;
    OrvObjectParticles* fx = system.Load("fx: particles {\n emitter {\n }\n emitter {\n }\n}");
    ASSERT_NE(nullptr, fx);
    // Store a distinct value into every record, then read them all: each reads what it was
    // given, except the three conversions of the system itself.
    const int count = system.parameters.ParameterCount();
    EXPECT_EQ(3 + 3 + 2 * (1 + 3 + 14 * 2), count);
    std::vector<double> given(count);
    for (int i = 0; i < count; ++i) {
        given[i] = 2.0 + i;
        ASSERT_TRUE(system.parameters.AddParameterHold(system.parameters.FullName(i), 0, given[i]));
    }
    system.parameters.UpdateParameters(0);
    for (int i = 0; i < count; ++i) {
        const std::string& name = system.parameters.FullName(i);
        double expected = name == "fx.fadeAway" || name == "fx.drawingMode" ? 1.0 : given[i];
        EXPECT_EQ(expected, system.Read(name)) << name;
    }
}
