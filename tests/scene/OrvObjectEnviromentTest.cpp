#include "scene/OrvObjectEnviroment.h"

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "scene/OrvObjectManager.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"

#include <epoxy/gl.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Floats = std::array<float, 4>;

OrvScriptNode dummyNode;

Floats Light(GLenum light, GLenum name) {
    Floats out = {-7, -7, -7, -7};
    glGetLightfv(light, name, out.data());
    return out;
}

float LightValue(GLenum light, GLenum name) {
    return Light(light, name)[0];
}

Floats Spot(GLenum light) {
    Floats out = Light(light, GL_SPOT_DIRECTION);
    out[3] = 0; // three values only
    return out;
}

Floats FogColor() {
    Floats out = {-7, -7, -7, -7};
    glGetFloatv(GL_FOG_COLOR, out.data());
    return out;
}

float FogDensity() {
    float out = -7;
    glGetFloatv(GL_FOG_DENSITY, &out);
    return out;
}

::testing::AssertionResult Near(const Floats& actual, const Floats& expected) {
    for (int i = 0; i < 4; ++i)
        if (!(std::fabs(actual[i] - expected[i]) <= 1e-5f))
            return ::testing::AssertionFailure()
                   << "(" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", "
                   << actual[3] << ") is not (" << expected[0] << ", " << expected[1] << ", "
                   << expected[2] << ", " << expected[3] << ")";
    return ::testing::AssertionSuccess();
}

// Holds at `time` for each name and value, all of which must exist.
void Hold(OrvParameterManager& parameters, unsigned time,
          const std::vector<std::pair<std::string, double>>& values) {
    for (const auto& value : values)
        ASSERT_TRUE(parameters.AddParameterHold(value.first, time, value.second)) << value.first;
}

void Identities() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// A white square over the whole viewport at eye depth z, facing the viewer.
void WhiteSquare(float z) {
    glColor4f(1, 1, 1, 1);
    glNormal3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, z);
    glVertex3f(1, -1, z);
    glVertex3f(1, 1, z);
    glVertex3f(-1, 1, z);
    glEnd();
}

} // namespace

TEST(OrvObjectEnviroment, NamesEveryParameterInTheOrderOfItsLayout) {
    OrvTestContext ctx;
    OrvObjectEnviroment env(ctx.scene);
    EXPECT_EQ(0, env.LightCount()); // the lights come with Init
    env.Init(dummyNode);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    parameters.AddInterface("env", env);

    std::vector<std::string> expected = {"env.lighting", "env.fog", "env.fogDensity"};
    for (const char* block : {"ambient", "fogColor"})
        for (const char* c : {"r", "g", "b", "a"})
            expected.push_back(std::string("env.") + block + "." + c);
    for (int i = 0; i < 8; ++i) {
        std::string light = "env.light[" + std::to_string(i) + "].";
        for (const char* name :
             {"enable", "pos.w", "spotExp", "spotCutoff", "att.const", "att.linear", "att.quad"})
            expected.push_back(light + name);
        for (const char* color : {"ambient", "diffuse", "specular"})
            for (const char* c : {"r", "g", "b", "a"})
                expected.push_back(light + color + "." + c);
        for (const char* vector : {"position", "spotDir"})
            for (const char* c : {"x", "y", "z"})
                expected.push_back(light + vector + "." + c);
    }
    std::vector<std::string> names;
    for (int i = 0; i < parameters.ParameterCount(); ++i)
        names.push_back(parameters.FullName(i));
    EXPECT_EQ(expected, names);
    EXPECT_EQ(211u, names.size());
    for (const char* name : {"env.light[2].position.x", "env.fogColor.g", "env.light[0].enable",
                             "env.light[1].diffuse.r", "env.light[7].spotDir.z"})
        EXPECT_GE(parameters.FindParameterByName(name), 0) << name;
    for (const char* name : {"env.light[8].enable", "env.light.enable", "env.light[0].pos.x",
                             "env.light[0].position.w", "env.fogcolor.g"})
        EXPECT_LT(parameters.FindParameterByName(name), 0) << name;
    EXPECT_EQ(1u, env.Flags());
    EXPECT_EQ(nullptr, env.Duplicate());
}

TEST(OrvObjectEnviroment, StartsDarkAndSwitchesByItsTruncationRules) {
    OrvTestContext ctx;
    OrvObjectEnviroment env(ctx.scene);
    env.Init(dummyNode);
    ASSERT_EQ(8, env.LightCount());
    EXPECT_FALSE(env.LightingOn());
    EXPECT_FALSE(env.FogOn());
    EXPECT_FLOAT_EQ(0.3f, env.FogDensity());
    EXPECT_FLOAT_EQ(0.2f, env.ambient.g);
    EXPECT_FLOAT_EQ(1.0f, env.ambient.a);
    EXPECT_FLOAT_EQ(0.0f, env.fogColor.a);
    for (int i = 0; i < 8; ++i) {
        OrvLightSource& light = env.Light(i);
        EXPECT_EQ(i, light.Index());
        EXPECT_FALSE(light.IsEnabled());
        EXPECT_FLOAT_EQ(i == 0 ? 1.0f : 0.0f, light.diffuse.r) << i;
        EXPECT_FLOAT_EQ(i == 0 ? 1.0f : 0.0f, light.specular.b) << i;
        EXPECT_FLOAT_EQ(1.0f, light.diffuse.a);
        EXPECT_FLOAT_EQ(0.0f, light.ambient.r);
        EXPECT_EQ(1.0, light.position.vector.z);
        EXPECT_EQ(-1.0, light.spotDirection.vector.z);
        EXPECT_FLOAT_EQ(0.0f, light.PositionW());
        EXPECT_FLOAT_EQ(180.0f, light.SpotCutoff());
    }

    auto fog = [&](double value) {
        env.UpdateParameter(1, value);
        return env.FogOn();
    };
    EXPECT_FALSE(fog(0.7));
    EXPECT_TRUE(fog(1.9));
    EXPECT_FALSE(fog(-0.9));
    EXPECT_TRUE(fog(-1.5));
    EXPECT_TRUE(fog(1e300)); // far beyond any integer, still simply "on"
    EXPECT_FALSE(fog(0));
    auto lighting = [&](double value) {
        env.UpdateParameter(0, value);
        return env.LightingOn();
    };
    EXPECT_TRUE(lighting(0.7));
    EXPECT_FALSE(lighting(0));
    EXPECT_TRUE(lighting(-0.001));
    env.UpdateParameter(2, 0.05);
    EXPECT_FLOAT_EQ(0.05f, env.FogDensity());
    env.UpdateParameter(3, 1); // no such parameter
    EXPECT_EQ("", env.ParameterName(3));

    // "enable" stores its value as w as well; "pos.w" alone does not switch the light.
    OrvLightSource& light = env.Light(3);
    light.UpdateParameter(1, 0.25);
    EXPECT_FALSE(light.IsEnabled());
    light.UpdateParameter(0, 1);
    EXPECT_TRUE(light.IsEnabled());
    EXPECT_FLOAT_EQ(1.0f, light.PositionW());
    light.UpdateParameter(0, 0.5);
    EXPECT_TRUE(light.IsEnabled());
    EXPECT_FLOAT_EQ(0.5f, light.PositionW());
    light.UpdateParameter(0, 0);
    EXPECT_FALSE(light.IsEnabled());
    EXPECT_FLOAT_EQ(0.0f, light.PositionW());
    EXPECT_EQ("", light.ParameterName(7));
}

TEST(OrvObjectEnviroment, DrawSendsLightsAndFogAndLeavesUntouchedLightsAlone) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    OrvObjectEnviroment env(ctx.scene);
    env.Init(dummyNode);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    parameters.AddInterface("env", env);
    Hold(parameters, 0,
         {{"env.lighting", 1},
          {"env.light[0].enable", 1},
          {"env.light[2].enable", 1},
          {"env.light[2].pos.w", 0.25}, // registered after "enable", so it wins
          {"env.light[2].position.x", 1},
          {"env.light[2].position.y", 2},
          {"env.light[2].position.z", 3},
          {"env.light[2].diffuse.r", 0.5},
          {"env.light[2].ambient.g", 0.125},
          {"env.light[2].specular.b", 0.75},
          {"env.light[2].att.const", 2},
          {"env.light[2].att.linear", 0.5},
          {"env.light[2].att.quad", 0.125},
          {"env.fog", 1},
          {"env.fogColor.r", 0.1},
          {"env.fogColor.g", 0.2},
          {"env.fogColor.b", 0.3},
          {"env.fogColor.a", 0.4},
          {"env.fogDensity", 0.05}});
    Hold(parameters, 1000, {{"env.fog", 0.7}, {"env.lighting", 0.7}, {"env.light[0].enable", 0}});
    Hold(parameters, 2000, {{"env.lighting", 0}, {"env.light[2].enable", 0}});

    parameters.UpdateParameters(0);
    Identities();
    glTranslatef(0, 0, -5); // light positions go through the modelview matrix of the moment
    env.Draw(ctx.Pass());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(Near(Light(GL_LIGHT0, GL_POSITION), {0, 0, -4, 1})); // enable 1 made it w = 1
    EXPECT_TRUE(Near(Light(GL_LIGHT0, GL_DIFFUSE), {1, 1, 1, 1}));
    EXPECT_TRUE(Near(Light(GL_LIGHT0, GL_SPECULAR), {1, 1, 1, 1}));
    EXPECT_TRUE(Near(Light(GL_LIGHT0, GL_AMBIENT), {0, 0, 0, 1}));
    // w = 0.25: OpenGL transforms (1, 2, 3, 0.25) by the translation to (1, 2, 1.75, 0.25).
    EXPECT_TRUE(Near(Light(GL_LIGHT2, GL_POSITION), {1, 2, 3 - 5 * 0.25f, 0.25f}));
    EXPECT_TRUE(Near(Light(GL_LIGHT2, GL_DIFFUSE), {0.5f, 0, 0, 1}));
    EXPECT_TRUE(Near(Light(GL_LIGHT2, GL_AMBIENT), {0, 0.125f, 0, 1}));
    EXPECT_TRUE(Near(Light(GL_LIGHT2, GL_SPECULAR), {0, 0, 0.75f, 1}));
    EXPECT_FLOAT_EQ(2.0f, LightValue(GL_LIGHT2, GL_CONSTANT_ATTENUATION));
    EXPECT_FLOAT_EQ(0.5f, LightValue(GL_LIGHT2, GL_LINEAR_ATTENUATION));
    EXPECT_FLOAT_EQ(0.125f, LightValue(GL_LIGHT2, GL_QUADRATIC_ATTENUATION));
    EXPECT_FLOAT_EQ(180.0f, LightValue(GL_LIGHT2, GL_SPOT_CUTOFF));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLint mode = 0, hint = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    glGetIntegerv(GL_FOG_HINT, &hint);
    EXPECT_EQ(GL_EXP2, mode);
    EXPECT_EQ(GL_NICEST, hint);
    EXPECT_TRUE(Near(FogColor(), {0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_FLOAT_EQ(0.05f, FogDensity());

    // fog 0.7 is off, lighting 0.7 is on; a light switched off is disabled.
    parameters.UpdateParameters(1000);
    Identities();
    env.Draw(ctx.Pass());
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(Near(Light(GL_LIGHT2, GL_POSITION), {1, 2, 3, 0.25f})); // sent again, no shift

    // With lighting off the lights are not touched: light 2 stays enabled in OpenGL.
    parameters.UpdateParameters(2000);
    env.Draw(ctx.Pass());
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_FALSE(env.Light(2).IsEnabled());
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST(OrvObjectEnviroment, SpotSettingsGoOutOnlyWhenTheCutoffIsNot180) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    OrvObjectEnviroment env(ctx.scene);
    env.Init(dummyNode);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    parameters.AddInterface("env", env);
    Hold(parameters, 0,
         {{"env.lighting", 1},
          {"env.light[1].enable", 1},
          {"env.light[1].spotDir.x", 1},
          {"env.light[1].spotDir.z", 0},
          {"env.light[1].spotExp", 5}});
    Hold(parameters, 1000, {{"env.light[1].spotCutoff", 45}});
    Hold(parameters, 2000,
         {{"env.light[1].spotCutoff", 180},
          {"env.light[1].spotDir.x", 0},
          {"env.light[1].spotDir.y", 1},
          {"env.light[1].spotExp", 9}});
    Identities();

    parameters.UpdateParameters(0);
    env.Draw(ctx.Pass());
    EXPECT_TRUE(Near(Spot(GL_LIGHT1), {0, 0, -1, 0})); // OpenGL's own start values
    EXPECT_FLOAT_EQ(0.0f, LightValue(GL_LIGHT1, GL_SPOT_EXPONENT));
    EXPECT_FLOAT_EQ(180.0f, LightValue(GL_LIGHT1, GL_SPOT_CUTOFF));

    parameters.UpdateParameters(1000);
    env.Draw(ctx.Pass());
    EXPECT_TRUE(Near(Spot(GL_LIGHT1), {1, 0, 0, 0}));
    EXPECT_FLOAT_EQ(5.0f, LightValue(GL_LIGHT1, GL_SPOT_EXPONENT));
    EXPECT_FLOAT_EQ(45.0f, LightValue(GL_LIGHT1, GL_SPOT_CUTOFF));

    parameters.UpdateParameters(2000);
    env.Draw(ctx.Pass());
    EXPECT_FLOAT_EQ(180.0f, LightValue(GL_LIGHT1, GL_SPOT_CUTOFF));
    EXPECT_TRUE(Near(Spot(GL_LIGHT1), {1, 0, 0, 0})); // not sent again
    EXPECT_FLOAT_EQ(5.0f, LightValue(GL_LIGHT1, GL_SPOT_EXPONENT));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());

    // Values OpenGL refuses are brought into its ranges instead of leaving stale settings.
    OrvLightSource& light = env.Light(1);
    auto sentCutoff = [&](double cutoff) {
        light.UpdateParameter(3, cutoff);
        env.Draw(ctx.Pass());
        return LightValue(GL_LIGHT1, GL_SPOT_CUTOFF);
    };
    EXPECT_FLOAT_EQ(90.0f, sentCutoff(120));
    EXPECT_FLOAT_EQ(0.0f, sentCutoff(-5));
    EXPECT_FLOAT_EQ(90.0f, sentCutoff(90));
    EXPECT_FLOAT_EQ(180.0f, sentCutoff(270));
    EXPECT_FLOAT_EQ(180.0f, sentCutoff(std::numeric_limits<double>::quiet_NaN()));
    light.UpdateParameter(3, 30);
    light.UpdateParameter(2, 200);
    light.UpdateParameter(4, -1);
    light.UpdateParameter(6, -0.5);
    env.UpdateParameter(1, 1);
    env.UpdateParameter(2, -2);
    env.Draw(ctx.Pass());
    EXPECT_FLOAT_EQ(128.0f, LightValue(GL_LIGHT1, GL_SPOT_EXPONENT));
    EXPECT_FLOAT_EQ(0.0f, LightValue(GL_LIGHT1, GL_CONSTANT_ATTENUATION));
    EXPECT_FLOAT_EQ(0.0f, LightValue(GL_LIGHT1, GL_QUADRATIC_ATTENUATION));
    EXPECT_FLOAT_EQ(0.0f, FogDensity());
    EXPECT_FLOAT_EQ(-2.0f, env.FogDensity()); // the parameter keeps what it was given
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST(OrvObjectEnviroment, LightZeroLightsTheSceneOthersAddNothingAndFogTintsIt) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestContext ctx;
    OrvObjectEnviroment env(ctx.scene);
    env.Init(dummyNode);
    glViewport(0, 0, 64, 64);
    auto drawn = [&]() {
        window.Clear(0, 0, 0);
        Identities();
        env.Draw(ctx.Pass());
        WhiteSquare(0);
        return window.ReadPixel(32, 32);
    };

    EXPECT_TRUE(OrvRgbNear(drawn(), OrvRgba{255, 255, 255, 255}, 2)); // nothing switched on
    // OpenGL's default material: 0.2 x the scene ambient 0.2, plus 0.8 x light 0's white,
    // here a light from straight ahead (w back to 0 after "enable").
    env.UpdateParameter(0, 1);
    env.Light(0).UpdateParameter(0, 1);
    env.Light(0).UpdateParameter(1, 0);
    EXPECT_TRUE(OrvRgbNear(drawn(), OrvRgba{214, 214, 214, 255}, 3));
    // Lights 1 to 7 are black until given colours.
    env.Light(0).UpdateParameter(0, 0);
    for (int i = 1; i < 8; ++i)
        env.Light(i).UpdateParameter(0, 1);
    EXPECT_TRUE(OrvRgbNear(drawn(), OrvRgba{10, 10, 10, 255}, 3));

    // Fog: exp(-(0.5 x 2)^2) of the white square 2 units away, the rest red fog.
    env.UpdateParameter(0, 0);
    env.UpdateParameter(1, 1);
    env.UpdateParameter(2, 0.5);
    env.fogColor.Set(1, 0, 0, 1);
    auto fogged = [&]() {
        window.Clear(0, 0, 0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, 0, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        env.Draw(ctx.Pass());
        WhiteSquare(-2);
        return window.ReadPixel(32, 32);
    };
    EXPECT_TRUE(OrvRgbNear(fogged(), OrvRgba{255, 94, 94, 255}, 3));
    env.UpdateParameter(1, 0); // off again for the next frame
    EXPECT_TRUE(OrvRgbNear(fogged(), OrvRgba{255, 255, 255, 255}, 2));
}

TEST(OrvObjectEnviroment, LoadsFromAScriptBlockOfInitialValuesOnly) {
    OrvTestContext ctx;
    OrvAsciiScriptLoader loader(ctx.diagnostics);
    std::istringstream text("objects {\n"
                            "    env: enviroment {\n"
                            "        lighting: 1\n"
                            "        light[0].enable: 1\n"
                            "        light[2].position.x: 4\n"
                            "        fogColor.g: 0.5 0.9\n"
                            "        fogDensity: 0.01\n"
                            "    }\n"
                            "    bad: enviroment {\n"
                            "        fog\n"
                            "        light[8].enable: 1\n"
                            "        fog: 1\n"
                            "        light: 1\n"
                            "    }\n"
                            "    copy: duplicate env\n"
                            "    other: environment\n"
                            "}\n");
    loader.Parse(text);
    OrvScriptNode* block = loader.Root()["objects"];
    ASSERT_NE(nullptr, block);
    ASSERT_EQ(4, block->ChildCount());
    OrvObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    auto raised = [&](OrvScriptNode& node) -> std::string {
        try {
            objects.LoadObject(node, parameters);
        } catch (const OrvException& error) {
            return error.Message();
        }
        return "(nothing raised)";
    };

    OrvObjectEnviroment* env =
        dynamic_cast<OrvObjectEnviroment*>(objects.LoadObject(*(*block)[0], parameters));
    ASSERT_NE(nullptr, env);
    EXPECT_EQ("env", env->Name());
    EXPECT_EQ(1u, env->Flags());
    EXPECT_FALSE(env->LightingOn());
    parameters.UpdateParameters(0);
    EXPECT_TRUE(env->LightingOn());
    EXPECT_TRUE(env->Light(0).IsEnabled());
    EXPECT_FLOAT_EQ(1.0f, env->Light(0).PositionW());
    EXPECT_EQ(4.0, env->Light(2).position.vector.x);
    EXPECT_FLOAT_EQ(0.5f, env->fogColor.g);
    EXPECT_FLOAT_EQ(0.01f, env->FogDensity());
    EXPECT_EQ("", ctx.diagnostics.Text());

    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              raised(*(*block)[1]));
    // A light past the eighth is near every light's own key.
    EXPECT_EQ("Error: Line not processed: fog\n"
              "Error: Line not processed: light[8].enable: 1\nDid you mean:\n\n"
              "light[0].enable\nlight[1].enable\nlight[2].enable\nlight[3].enable\n"
              "light[4].enable\nlight[5].enable\nlight[6].enable\nlight[7].enable\n"
              "Error: Line not processed: light: 1\n",
              ctx.diagnostics.Text());
    EXPECT_EQ("Could not duplicate object, because it does not support duplication: env",
              raised(*(*block)[2]));
    EXPECT_EQ("Object class could not be initialized: environment\nDid you mean:\n\nenviroment",
              raised(*(*block)[3]));
    EXPECT_EQ(2, objects.ObjectCount());
}
