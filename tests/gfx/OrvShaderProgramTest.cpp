// Uniforms of linked programs: discovery, parameter names, uploads, copies, drawing.

#include "OrvShaderTestKit.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterManager.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <set>

namespace {

const char* const ManyUniforms = "uniform float brightness;\n"
                                 "uniform vec2 offset;\n"
                                 "uniform vec3 tint3;\n"
                                 "uniform vec4 tint;\n"
                                 "uniform mat4 warp;\n"
                                 "uniform sampler2D picture;\n"
                                 "uniform samplerCube sky;\n"
                                 "uniform int steps;\n"
                                 "uniform ivec2 cells;\n"
                                 "uniform ivec4 cells4;\n"
                                 "uniform bool flip;\n"
                                 "uniform bvec2 mask;\n"
                                 "uniform float unused;\n" // optimised away: not active
                                 "void main() {\n"
                                 "    vec4 c = vec4(brightness) + tint + vec4(tint3, 0.0)\n"
                                 "        + vec4(offset, 0.0, 0.0) + warp * gl_FragCoord\n"
                                 "        + texture2D(picture, gl_TexCoord[0].st)\n"
                                 "        + textureCube(sky, vec3(1.0)) + float(steps)\n"
                                 "        + vec4(vec2(cells), vec2(cells4.zw))\n"
                                 "        + (flip ? 1.0 : 0.0) + (mask.y ? 1.0 : 0.0);\n"
                                 "    gl_FragColor = c * gl_ModelViewProjectionMatrix[0][0];\n"
                                 "}\n";

std::set<std::string> NamesOf(const OrvParameterManager& manager) {
    std::set<std::string> names;
    for (int i = 0; i < manager.ParameterCount(); ++i)
        names.insert(manager.FullName(i));
    return names;
}

GLint CurrentProgram() {
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    return current;
}

} // namespace

TEST(OrvShaderProgram, UniformsAreFoundAndNamedByType) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("many.frag", ManyUniforms);
    OrvShaderProgram program = scene.Load({"many.frag"});
    ASSERT_NE(0u, program.Handle());
    EXPECT_EQ(0, CurrentProgram()); // a successful link leaves program 0 current

    // Every active uniform that has a location, in the linker's order, with its real location.
    GLint active = 0;
    glGetProgramiv(program.Handle(), GL_ACTIVE_UNIFORMS, &active);
    ASSERT_EQ(12u, program.Variables().size()); // the built-in matrix is skipped
    EXPECT_EQ(13, active);
    for (const OrvShaderVariable& variable : program.Variables()) {
        EXPECT_EQ(program.Handle(), variable.Program());
        EXPECT_EQ(glGetUniformLocation(program.Handle(), variable.Name().c_str()),
                  variable.Location());
        EXPECT_NE(0u, variable.Name().find("gl_"));
    }
    EXPECT_EQ(unsigned(GL_FLOAT_MAT4), program.FindVariable("warp")->Type());
    EXPECT_EQ(nullptr, program.FindVariable("unused"));

    // Registered as an object's first program, the uniforms sit right under its path.
    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("box.shaders[0]", program);
    EXPECT_EQ((std::set<std::string>{
                  "box.shaders[0].brightness", "box.shaders[0].offset.0", "box.shaders[0].offset.1",
                  "box.shaders[0].tint3.0",    "box.shaders[0].tint3.1",  "box.shaders[0].tint3.2",
                  "box.shaders[0].tint.0",     "box.shaders[0].tint.1",   "box.shaders[0].tint.2",
                  "box.shaders[0].tint.3",     "box.shaders[0].picture",  "box.shaders[0].sky",
                  "box.shaders[0].steps",      "box.shaders[0].cells.0",  "box.shaders[0].cells.1",
                  "box.shaders[0].cells4.0",   "box.shaders[0].cells4.1", "box.shaders[0].cells4.2",
                  "box.shaders[0].cells4.3",   "box.shaders[0].flip",     "box.shaders[0].mask.0",
                  "box.shaders[0].mask.1"}),
              NamesOf(manager));
    EXPECT_EQ(22, manager.ParameterCount()); // no name twice; the mat4 gives none

    // The program itself has no parameters; its children are its uniforms, unnamed.
    EXPECT_EQ("", program.ParameterName(0));
    std::vector<OrvParameterInterfaceChild> children;
    program.ChildParameterInterfaces(children);
    ASSERT_EQ(program.Variables().size(), children.size());
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ("", children[i].name);
        EXPECT_EQ(&program.Variables()[i], children[i].interface);
    }
}

TEST(OrvShaderProgram, AnimatedValuesReachOpenGL) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("many.frag", ManyUniforms);
    OrvShaderProgram program = scene.Load({"many.frag"});
    ASSERT_NE(0u, program.Handle());
    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("fx", program);
    struct Hold {
        const char* name;
        double value;
    };
    for (Hold hold : {Hold{"fx.brightness", 0.25}, Hold{"fx.offset.1", -2.5},
                      Hold{"fx.tint3.2", 0.1}, Hold{"fx.tint.0", 0.5}, Hold{"fx.tint.3", 4.0},
                      Hold{"fx.picture", 1.9}, Hold{"fx.sky", 2.2}, Hold{"fx.steps", -3.7},
                      Hold{"fx.cells.0", 2.7}, Hold{"fx.cells.1", -3.9}, Hold{"fx.cells4.3", 1e20},
                      Hold{"fx.flip", 0.5}, Hold{"fx.mask.0", 0.0}, Hold{"fx.mask.1", -0.25}})
        ASSERT_TRUE(manager.AddParameterHold(hold.name, 1000, hold.value)) << hold.name;

    manager.UpdateParameters(999); // before the holds: nothing arrives, everything stays 0
    program.UpdateUniforms();
    GLuint handle = program.Handle();
    auto floats = [&](const char* name) {
        std::vector<float> values(16, -99.0f);
        glGetUniformfv(handle, glGetUniformLocation(handle, name), values.data());
        return values;
    };
    auto ints = [&](const char* name) {
        std::vector<GLint> values(4, -99);
        glGetUniformiv(handle, glGetUniformLocation(handle, name), values.data());
        return values;
    };
    EXPECT_EQ(0.0f, floats("brightness")[0]);
    EXPECT_EQ(0, ints("picture")[0]);

    manager.UpdateParameters(1000);
    program.UpdateUniforms();
    EXPECT_EQ(0, CurrentProgram());
    EXPECT_EQ(0.25f, floats("brightness")[0]);
    std::vector<float> offset = floats("offset");
    EXPECT_EQ(0.0f, offset[0]);
    EXPECT_EQ(-2.5f, offset[1]);
    EXPECT_EQ(0.1f, floats("tint3")[2]); // double 0.1 stored as the nearest float
    std::vector<float> tint = floats("tint");
    EXPECT_EQ((std::vector<float>{0.5f, 0.0f, 0.0f, 4.0f}),
              std::vector<float>(tint.begin(), tint.begin() + 4));
    EXPECT_EQ(1, ints("picture")[0]); // 1.9 selects unit 1
    EXPECT_EQ(2, ints("sky")[0]);
    EXPECT_EQ(-3, ints("steps")[0]); // truncated toward zero
    std::vector<GLint> cells = ints("cells");
    EXPECT_EQ(2, cells[0]);
    EXPECT_EQ(-3, cells[1]);
    EXPECT_EQ(INT_MAX, ints("cells4")[3]); // out of range is pinned, not undefined
    EXPECT_EQ(1, ints("flip")[0]);         // any non-zero value is true
    std::vector<GLint> mask = ints("mask");
    EXPECT_EQ(0, mask[0]);
    EXPECT_EQ(1, mask[1]);
    std::vector<float> warp = floats("warp"); // a matrix is never uploaded
    EXPECT_EQ(std::vector<float>(16, 0.0f), warp);
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

TEST(OrvShaderProgram, VariableRefusesIndicesItDidNotName) {
    OrvShaderVariable vec2(7, "offset", GL_FLOAT_VEC2, 3);
    EXPECT_EQ("offset.0", vec2.ParameterName(0));
    EXPECT_EQ("offset.1", vec2.ParameterName(1));
    EXPECT_EQ("", vec2.ParameterName(2));
    EXPECT_EQ("", vec2.ParameterName(-1));
    vec2.UpdateParameter(1, 0.75);
    vec2.UpdateParameter(2, 9.0);
    vec2.UpdateParameter(-1, 9.0);
    EXPECT_EQ(0.0f, vec2.Value(0));
    EXPECT_EQ(0.75f, vec2.Value(1));
    EXPECT_EQ(0.0f, vec2.Value(2));

    OrvShaderVariable sampler(7, "shadow", GL_SAMPLER_2D_SHADOW, 0);
    EXPECT_EQ("shadow", sampler.ParameterName(0));
    EXPECT_EQ("", sampler.ParameterName(1));
    OrvShaderVariable matrix(7, "warp", GL_FLOAT_MAT3, 0);
    EXPECT_EQ("", matrix.ParameterName(0));
    matrix.UpdateParameter(0, 1.0);
    EXPECT_EQ(0.0f, matrix.Value(0));
    OrvShaderVariable unnamed(7, nullptr, GL_FLOAT, 0);
    EXPECT_EQ("", unnamed.Name());
}

TEST(OrvShaderProgram, CopiesShareTheProgramButNotTheValues) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("level.frag",
                           "uniform float level;\n"
                           "void main() { gl_FragColor = vec4(0.0, level, 0.0, 1.0); }\n");
    OrvShaderProgram source = scene.Load({"level.frag"});
    ASSERT_EQ(1u, source.Variables().size());
    OrvShaderProgram copy = source;
    EXPECT_EQ(source.Handle(), copy.Handle());

    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("a", source);
    manager.AddInterface("b", copy);
    ASSERT_TRUE(manager.AddParameterHold("a.level", 0, 1.0));
    ASSERT_TRUE(manager.AddParameterHold("b.level", 0, 0.5));
    manager.UpdateParameters(0);
    EXPECT_EQ(1.0f, source.Variables()[0].Value(0));
    EXPECT_EQ(0.5f, copy.Variables()[0].Value(0));

    // Each one sends its own value to the shared program just before it draws.
    source.UpdateUniforms();
    scene.DrawQuad(source.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 255, 0, 255}), 2));
    copy.UpdateUniforms();
    scene.DrawQuad(copy.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 128, 0, 255}), 2));
}

TEST(OrvShaderProgram, QuadShowsTheColourAnimatedThroughTheTimeline) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("fade.shader", "## vert\n"
                                          "void main() { gl_Position = ftransform(); }\n"
                                          "## frag\n"
                                          "uniform vec4 tint;\n"
                                          "uniform float brightness;\n"
                                          "void main() { gl_FragColor = tint * brightness; }\n");
    OrvShaderProgram program = scene.Load({"fade.shader"});
    ASSERT_NE(0u, program.Handle());
    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("box.shaders[0]", program);
    ASSERT_TRUE(manager.AddParameterHold("box.shaders[0].tint.0", 0, 1.0));
    ASSERT_TRUE(manager.AddParameterHold("box.shaders[0].tint.2", 0, 0.5));
    ASSERT_TRUE(manager.AddLinearParameterFade("box.shaders[0].brightness", 1000, 2000, 0, 1));

    manager.UpdateParameters(500); // fade not started: brightness keeps its initial 0
    program.UpdateUniforms();
    scene.DrawQuad(program.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 0, 0, 255}), 2));

    manager.UpdateParameters(2000); // half way
    program.UpdateUniforms();
    scene.DrawQuad(program.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{128, 0, 64, 255}), 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(0, 0), (OrvRgba{128, 0, 64, 255}), 2));

    manager.UpdateParameters(3000);
    program.UpdateUniforms();
    scene.DrawQuad(program.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{255, 0, 128, 255}), 2));
    EXPECT_EQ("", scene.Log());
}

TEST(OrvShaderProgram, SamplerPicksTheTextureUnit) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("pick.frag",
                           "uniform sampler2D picture;\n"
                           "void main() { gl_FragColor = texture2D(picture, vec2(0.5)); }\n");
    OrvShaderProgram program = scene.Load({"pick.frag"});
    ASSERT_EQ(1u, program.Variables().size());

    // Unit 0 holds a red texel, unit 1 a blue one.
    const unsigned char texels[2][4] = {{255, 0, 0, 255}, {0, 0, 255, 255}};
    GLuint textures[2];
    glGenTextures(2, textures);
    for (int unit = 0; unit < 2; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, textures[unit]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels[unit]);
    }
    glActiveTexture(GL_TEXTURE0);

    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("img.shaders[0]", program);
    ASSERT_TRUE(manager.AddParameterHold("img.shaders[0].picture", 1000, 1.9));
    manager.UpdateParameters(0);
    program.UpdateUniforms();
    scene.DrawQuad(program.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{255, 0, 0, 255}), 2));

    manager.UpdateParameters(1000);
    program.UpdateUniforms();
    GLint unit = -1;
    glGetUniformiv(program.Handle(), program.Variables()[0].Location(), &unit);
    EXPECT_EQ(1, unit);
    scene.DrawQuad(program.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 0, 255, 255}), 2));
}
