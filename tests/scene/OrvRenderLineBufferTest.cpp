#include "scene/OrvRenderLine.h"

#include "support/OrvTestFolder.h"

#include "OrvRenderLineTestScene.h"

#include <gtest/gtest.h>

namespace {

const OrvRgba kRed{255, 0, 0, 255};
const OrvRgba kGreen{0, 255, 0, 255};
const OrvRgba kBlue{0, 0, 255, 255};

} // namespace

TEST(OrvRenderLineBuffer, OutputDrawsIntoItsTextureWhichALaterLineCanShow) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(64, 64, 48, 40, 48.0 / 40.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.AddQuad("box", 0, 1, 0, 0.5);
    scene.AddQuad("other", 1, 0, 0, 1);
    // The texture may exist before the line gives it storage (an image object asked for it).
    unsigned early = scene.context.scene.Textures().Texture(std::string("*glow")).handle;
    OrvRenderLine* glow = scene.AddLine(
        "glow", {OrvTestNode("output", {"*glow", "32", "16"}), OrvTestNode("objects", {"box"})});
    OrvRenderLine* surface = scene.AddLine("surface", {OrvTestNode("output", {"*full", "7"})});
    scene.AddLine("screen", {OrvTestNode("objects", {})}); // draws nothing of its own
    glow->ClearColor().Set(0, 0, 1, 1);

    ASSERT_TRUE(glow->IsBuffer());
    EXPECT_EQ(early, glow->ColorTexture());
    OrvTexture* texture = scene.context.scene.Textures().Texture(glow->ColorTexture());
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(32, texture->width);
    EXPECT_EQ(16, texture->height);
    EXPECT_EQ(0u, glow->DepthTexture());
    EXPECT_NE(0u, glow->Framebuffer().DepthRenderbuffer()); // depth testing while drawing
    EXPECT_EQ(48, surface->Width());                        // two arguments: the surface size
    EXPECT_EQ(40, surface->Height());
    EXPECT_EQ(48, scene.context.scene.Textures().Texture(surface->ColorTexture())->width);

    scene.lines.RenderAll(16);
    // The whole buffer is cleared, and its viewport is the buffer: no letterboxing.
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 0, 0), kBlue, 2));
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 31, 15), kBlue, 2));
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 7, 3), kBlue, 2));
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 8, 4), kGreen, 2));
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 23, 11), kGreen, 2));
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(glow->ColorTexture(), 24, 12), kBlue, 2));
    // The surface-sized line drew both objects, red last.
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(surface->ColorTexture(), 24, 20), kRed, 2));

    // The texture shown on the window: what the line drew, upright.
    scene.window.UsePixelProjection();
    scene.window.Clear(0, 0, 0);
    glDisable(GL_DEPTH_TEST);
    scene.window.DrawTexturedQuad(glow->ColorTexture(), 0, 0, 64, 32);
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(32, 16), kGreen, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(4, 4), kBlue, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(60, 28), kBlue, 2));
    EXPECT_EQ("", scene.context.diagnostics.Text());
}

TEST(OrvRenderLineBuffer, DepthOutputMatchesTheColourBufferAndWorksWithoutOne) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(64, 64, 40, 20, 2.0);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.AddQuad("box", 0, 1, 0, 0.5, {OrvTestNode("depth", {"0.5"})});
    // depthOutput before output: the depth still takes the colour buffer's size.
    OrvRenderLine* both = scene.AddLine("both", {OrvTestNode("depthOutput", {"*depth"}),
                                                 OrvTestNode("output", {"*colour", "32", "16"})});
    OrvRenderLine* shadow = scene.AddLine("shadow", {OrvTestNode("depthOutput", {"*shadow"})});

    EXPECT_EQ(32, scene.context.scene.Textures().Texture(both->DepthTexture())->width);
    EXPECT_EQ(16, scene.context.scene.Textures().Texture(both->DepthTexture())->height);
    EXPECT_EQ(0u, both->Framebuffer().DepthRenderbuffer()); // the texture takes the depth
    // A depth-only line is sized like its viewport, the surface.
    EXPECT_TRUE(shadow->IsBuffer());
    EXPECT_EQ(0u, shadow->ColorTexture());
    EXPECT_EQ(40, shadow->Width());
    EXPECT_EQ(20, shadow->Height());
    EXPECT_EQ(40, scene.context.scene.Textures().Texture(shadow->DepthTexture())->width);

    scene.lines.RenderAll(16);
    // Depth 0.5 in normalised coordinates is 0.75 in the buffer; the clear leaves 1.
    EXPECT_NEAR(0.75f, OrvTextureDepth(both->DepthTexture(), 16, 8), 0.01f);
    EXPECT_NEAR(1.0f, OrvTextureDepth(both->DepthTexture(), 1, 1), 0.01f);
    EXPECT_TRUE(OrvRgbaNear(OrvTexturePixel(both->ColorTexture(), 16, 8), kGreen, 2));
    EXPECT_NEAR(0.75f, OrvTextureDepth(shadow->DepthTexture(), 20, 10), 0.01f);
    EXPECT_NEAR(1.0f, OrvTextureDepth(shadow->DepthTexture(), 39, 19), 0.01f);
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_EQ("", scene.context.diagnostics.Text());
}

TEST(OrvRenderLineBuffer, UnusableBuffersAreRefusedByName) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvTestFolder folder; // an empty data folder: no image files
    OrvRenderLineTestScene scene(64, 64, 64, 64, 1.0, folder.DataPath(""));
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();

    EXPECT_EQ("depthOutput without a texture name in render line: nameless",
              scene.LineError("nameless", {OrvTestNode("depthOutput", {})}));
    EXPECT_EQ("Buffer size is not positive in render line: flat",
              scene.LineError("flat", {OrvTestNode("output", {"*flat", "64", "0"})}));
    EXPECT_EQ("Buffer size is not positive in render line: tall",
              scene.LineError("tall", {OrvTestNode("output", {"*tall", "-8", "64"})}));
    EXPECT_EQ("Could not load image file: glow.png",
              scene.LineError("file", {OrvTestNode("output", {"glow.png", "16", "16"})}));
    // Larger than OpenGL can store: the texture gets no storage.
    EXPECT_EQ("Incomplete framebuffer in render line huge: "
              "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT",
              scene.LineError("huge", {OrvTestNode("output", {"*huge", "1000000", "16"})}));
    // One texture cannot be the colour and the depth of a buffer.
    EXPECT_EQ("Incomplete framebuffer in render line same: "
              "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT",
              scene.LineError("same", {OrvTestNode("output", {"*same", "16", "16"}),
                                       OrvTestNode("depthOutput", {"*same"})}));
    EXPECT_EQ(0, scene.lines.LineCount());
    while (glGetError() != GL_NO_ERROR) {
    }

    // Two lines sharing a texture at different sizes: the later one resizes it under the
    // earlier one, which the check after loading all lines finds.
    OrvScriptNode first =
        OrvTestNode("first", {}, {OrvTestNode("output", {"*shared", "32", "32"})});
    OrvScriptNode second =
        OrvTestNode("second", {}, {OrvTestNode("output", {"*shared", "16", "8"})});
    OrvScriptNode third = OrvTestNode("third", {}, {OrvTestNode("output", {"*shared", "16", "8"})});
    std::vector<OrvScriptNode*> nodes = {&first, &second, &third};
    std::string message = "(nothing raised)";
    try {
        scene.lines.LoadRenderLines(nodes, scene.parameters);
    } catch (const OrvException& error) {
        message = error.Message();
    }
    EXPECT_EQ("Buffer of render line first was resized to 16x8 by another render line", message);
    EXPECT_EQ(3, scene.lines.LineCount());
    EXPECT_EQ("", scene.context.diagnostics.Text());
}
