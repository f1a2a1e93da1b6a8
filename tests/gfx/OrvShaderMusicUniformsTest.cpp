// The music's uniforms: a program that declares orvBands[16], orvLevel or orvOnset draws with
// the values of its manager's block, with no parameter of its own for them; one that declares
// none of them reads nothing.

#include "OrvShaderTestKit.h"

#include "animation/OrvParameterManager.h"
#include "gfx/OrvMusicUniforms.h"

#include <gtest/gtest.h>

namespace {
const char* const Vertex = "## vert\nvoid main() { gl_Position = ftransform(); }\n## frag\n";
} // namespace

TEST(OrvShaderMusicUniforms, ProgramsThatDeclareThemDrawWithTheMusicsValues) {
    ORV_OPEN_SHADER_SCENE(scene);
    scene.folder.WriteData("music.shader", std::string(Vertex) +
                                               "uniform float orvBands[16];\n"
                                               "uniform float orvLevel;\n"
                                               "uniform float orvOnset;\n"
                                               "uniform float gain;\n"
                                               "void main() {\n"
                                               "    gl_FragColor = vec4(orvBands[3], orvLevel,\n"
                                               "                        orvOnset * gain, 1.0);\n"
                                               "}\n");
    // Every band counts: the mean of all sixteen, and the last one.
    scene.folder.WriteData("all.shader",
                           std::string(Vertex) +
                               "uniform float orvBands[16];\n"
                               "void main() {\n"
                               "    float sum = 0.0;\n"
                               "    for (int i = 0; i < 16; ++i)\n"
                               "        sum += orvBands[i];\n"
                               "    gl_FragColor = vec4(sum / 16.0, orvBands[15], 0.0, 1.0);\n"
                               "}\n");
    scene.folder.WriteData("plain.shader", std::string(Vertex) +
                                               "uniform float gain;\n"
                                               "void main() { gl_FragColor = vec4(gain); }\n");
    OrvShaderProgram music = scene.Load({"music.shader"});
    OrvShaderProgram all = scene.Load({"all.shader"});
    OrvShaderProgram plain = scene.Load({"plain.shader"});
    ASSERT_NE(0u, music.Handle()) << scene.Log();
    ASSERT_NE(0u, all.Handle()) << scene.Log();
    EXPECT_TRUE(music.ReadsMusic());
    EXPECT_TRUE(all.ReadsMusic());
    EXPECT_FALSE(plain.ReadsMusic());

    // Only the program's own uniform is a parameter; the music's are the engine's.
    OrvParameterManager manager(scene.context.diagnostics, scene.context.run.Random());
    manager.AddInterface("box.shaders[0]", music);
    ASSERT_EQ(1, manager.ParameterCount());
    EXPECT_EQ("box.shaders[0].gain", manager.FullName(0));
    ASSERT_TRUE(manager.AddParameterHold("box.shaders[0].gain", 0, 1.0));
    manager.UpdateParameters(0);

    OrvMusicUniforms& block = scene.Shaders().MusicUniforms();
    for (int k = 0; k < OrvMusicUniforms::BandCount; ++k)
        block.bands[k] = k < 8 ? 1.0f : 0.0f;
    block.bands[3] = 0.5f;
    block.bands[15] = 0.25f;
    block.level = 0.75f;
    block.onset = 1.0f;
    music.UpdateUniforms();
    scene.DrawQuad(music.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{128, 191, 255, 255}), 2)) << scene.Centre();
    all.UpdateUniforms();
    scene.DrawQuad(all.Handle());
    // (7 + 0.5 + 0.25) / 16 = 0.484
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{124, 64, 0, 255}), 2)) << scene.Centre();

    // The next frame's values reach the next draw.
    block.bands[3] = 0.0f;
    block.level = 0.25f;
    block.onset = 0.5f;
    music.UpdateUniforms();
    scene.DrawQuad(music.Handle());
    EXPECT_TRUE(OrvRgbNear(scene.Centre(), (OrvRgba{0, 64, 128, 255}), 2)) << scene.Centre();
    EXPECT_EQ("", scene.Log());
}
