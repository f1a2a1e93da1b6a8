#include "scene/OrvRenderLine.h"

#include "OrvRenderLineTestScene.h"

#include <gtest/gtest.h>

namespace {

const OrvRgba kBlack{0, 0, 0, 255};
const OrvRgba kRed{255, 0, 0, 255};
const OrvRgba kGreen{0, 255, 0, 255};
const OrvRgba kBlue{0, 0, 255, 255};

std::vector<std::string> DrawList(const OrvRenderLine& line) {
    std::vector<std::string> names;
    for (int i = 0; i < line.DrawListSize(); ++i)
        names.push_back(line.DrawListObject(i)->Name());
    return names;
}

} // namespace

// Building screen lines touches no OpenGL, so this runs without a display.
TEST(OrvRenderLine, DrawListsKeepTheObjectsBlockOrderWithIncludeAndExcludeLists) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    for (const char* name : {"a", "b", "c", "a"}) {
        OrvScriptNode node = OrvTestNode(name, {"quad"});
        objects.LoadObject(node, parameters);
    }
    OrvRenderLineManager lines(ctx.scene);
    lines.Init(objects);
    auto load = [&](const std::string& name, std::vector<OrvScriptNode> keys) {
        OrvScriptNode node = OrvTestNode(name, {}, keys);
        return lines.LoadRenderLine(node, parameters);
    };
    OrvRenderLine* all = load("all", {OrvTestNode("output", {}), OrvTestNode("blur", {"9"})});
    OrvRenderLine* picked = load("picked", {OrvTestNode("objects", {"c", "ghost", "a"})});
    OrvRenderLine* excluded = load("excluded", {OrvTestNode("exclude", {"a", "C"})});
    OrvRenderLine* both =
        load("both", {OrvTestNode("objects", {"a", "b"}), OrvTestNode("exclude", {"b"})});
    OrvRenderLine* replaced =
        load("replaced", {OrvTestNode("objects", {"a"}), OrvTestNode("exclude", {"c"}),
                          OrvTestNode("objects", {"b", "c"}), OrvTestNode("exclude", {})});
    OrvRenderLine* none = load("none", {OrvTestNode("objects", {"ghost"})});

    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "a"}), DrawList(*all));
    EXPECT_FALSE(all->IsBuffer()); // output without a name and unknown keys are ignored
    EXPECT_EQ(-1, all->Width());
    EXPECT_EQ((std::vector<std::string>{"a", "c", "a"}), DrawList(*picked));
    EXPECT_EQ((std::vector<std::string>{"b", "c"}), DrawList(*excluded));
    EXPECT_EQ((std::vector<std::string>{"a", "a"}), DrawList(*both));
    EXPECT_EQ((std::vector<std::string>{"b", "c"}), DrawList(*replaced));
    EXPECT_EQ(0, none->DrawListSize());
    EXPECT_EQ(objects[3], picked->DrawListObject(2)); // both objects named a, each once

    ASSERT_EQ(6, lines.LineCount());
    EXPECT_EQ("both", lines.LineName(3));
    EXPECT_EQ(both, lines[3]);
    EXPECT_GE(parameters.FindParameterByName("picked.clear.a"), 0);
    // Names of no object are warnings, with the names they are near (case counts half).
    EXPECT_EQ("Unknown object in render line picked: ghost\n"
              "Unknown object in render line excluded: C\nDid you mean:\n\nc\n"
              "Unknown object in render line none: ghost\n",
              ctx.diagnostics.Text());
    EXPECT_FALSE(ctx.diagnostics.HasError());
}

TEST(OrvRenderLine, ScreenLineDrawsEnabledObjectsAndOnlyTheLastScreenLineRemains) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(64, 64, 64, 64, 1.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    OrvQuadTestObject* green = scene.AddQuad("green", 0, 1, 0, 1);
    OrvQuadTestObject* red = scene.AddQuad("red", 1, 0, 0, 0.5);
    OrvQuadTestObject* hidden = scene.AddQuad("hidden", 0, 0, 1, 1);
    scene.objects.UpdateParameter(2, 0); // hidden is switched off again
    scene.AddLine("all");

    scene.lines.RenderAll(16);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 32), kRed, 2)); // drawn after green
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), kGreen, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(61, 61), kGreen, 2));
    EXPECT_EQ(0, hidden->draws);
    EXPECT_EQ(1, hidden->updates); // updated all the same
    EXPECT_EQ(16u, hidden->elapsedTotal);
    EXPECT_EQ(1, green->draws);

    // A second screen line wipes the first one's picture; its clear colour is animated.
    scene.AddLine("top", {OrvTestNode("objects", {"red"})});
    ASSERT_TRUE(scene.parameters.AddLinearParameterFade("top.clear.b", 1000, 1000, 0, 1));
    ASSERT_TRUE(scene.parameters.AddParameterHold("top.clear.a", 0, 1));
    scene.parameters.UpdateParameters(1500);
    scene.lines.RenderAll(20);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), OrvRgba{0, 0, 128, 255}, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 32), kRed, 2));
    scene.parameters.UpdateParameters(2500);
    scene.lines.RenderAll(20);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), kBlue, 2));
    EXPECT_EQ(3, green->draws); // drawn by the first line every frame, then wiped
    EXPECT_EQ(3, red->updates); // once a frame, however many lines list it
    EXPECT_EQ(16u + 20 + 20, red->elapsedTotal);

    // Outside a frame the window is bound and nothing clips.
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    EXPECT_EQ(0, framebuffer);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ("", scene.context.diagnostics.Text());
}

TEST(OrvRenderLine, LetterboxBarsStayBlackWhateverTheClearColour) {
    ORV_SKIP_WITHOUT_DISPLAY();
    // A square picture on a 2:1 display of square pixels: bars of 32 pixels left and right.
    OrvRenderLineTestScene scene(128, 64, 64, 64, 2.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.AddQuad("box", 0, 1, 0, 0.5);
    scene.AddQuad("wide", 0, 0, 1, 4); // far larger than the picture
    scene.objects.UpdateParameter(1, 0);
    OrvRenderLine* line = scene.AddLine("main");
    line->ClearColor().Set(1, 0, 0, 1);
    scene.window.Clear(1, 1, 1); // stale content in the bars

    scene.lines.RenderAll(10);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 32), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(31, 63), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(96, 0), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(125, 32), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 32), kRed, 2)); // picture's left edge
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(95, 63), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(64, 32), kGreen, 2));

    // An object reaching far past the picture still leaves the bars alone.
    scene.objects.UpdateParameter(1, 1);
    scene.lines.RenderAll(10);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 32), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(125, 32), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(40, 32), kBlue, 2));
}

TEST(OrvRenderLine, LetterboxBarsAboveAndBelowStayBlackToo) {
    ORV_SKIP_WITHOUT_DISPLAY();
    // A square picture on a 1:2 display: bars of 32 pixels above and below.
    OrvRenderLineTestScene scene(64, 128, 64, 64, 0.5);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.AddQuad("wide", 0, 0, 1, 4); // far larger than the picture
    OrvRenderLine* line = scene.AddLine("main");
    line->ClearColor().Set(1, 0, 0, 1);
    scene.window.Clear(1, 1, 1); // stale content in the bars

    scene.lines.RenderAll(10);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 2), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(0, 31), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(63, 96), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 125), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(0, 32), kBlue, 2)); // picture's bottom edge
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(63, 95), kBlue, 2));

    // Without the quad, the picture is the clear colour, up to its edges.
    scene.objects.UpdateParameter(0, 0);
    scene.lines.RenderAll(10);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(0, 32), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(63, 95), kRed, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 31), kBlack, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 96), kBlack, 2));
}

TEST(OrvRenderLine, OnlyObjectsWithFlagsOneLeaveTheirStateToTheObjectsAfterThem) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(64, 64, 64, 64, 1.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    // Each shrinks the view to the middle half before drawing; only "setter" may keep it.
    scene.AddQuad("setter", 1, 0, 0, 0.5, {OrvTestNode("flags", {"1"})});
    scene.AddQuad("plain", 1, 0, 0, 0.5);
    scene.AddQuad("full", 0, 1, 0, 1);
    OrvRenderLine* kept = scene.AddLine("kept", {OrvTestNode("exclude", {"plain"})});
    OrvRenderLine* restored = scene.AddLine("restored", {OrvTestNode("exclude", {"setter"})});
    kept->ClearColor().Set(0, 0, 1, 1);
    restored->ClearColor().Set(0, 0, 1, 1);
    ASSERT_EQ(1u, OrvQuad(scene.objects[0])->Flags());

    // Both lines are screen lines, so rendering both leaves "restored" visible; render them one
    // at a time to look at each.
    OrvCameraEye eye;
    auto frame = [&eye](OrvRenderLine* line) {
        glPushMatrix();
        line->UpdateObjects(5);
        line->Draw(eye);
        glPopMatrix();
    };
    frame(kept);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), kBlue, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(24, 24), kGreen, 2)); // full, scaled to 1/2
    frame(restored);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), kGreen, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 32), kGreen, 2));
}
