// Vector image objects as a script declares them: the morph between the file's first two
// poses drawn in the viewport's pixels, and the messages of a faulty line or file.

#include "scene/OrvObjectVectorImage.h"

#include "gfx/OrvGlState.h"
#include "gfx/OrvTextureManager.h"
#include "support/OrvVectorImageWriter.h"

#include "OrvObjectImageTestScene.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A square as four straight segments drawn with their start points alone (density 500).
OrvVectorImageWriter::Path Square(float left, float top, float side) {
    float right = left + side, bottom = top + side;
    auto line = [](float x0, float y0, float x1, float y1) {
        return OrvVectorImageWriter::Record{x0, y0, x0, y0, x1, y1, x1, y1, 500};
    };
    return {line(left, top, right, top), line(right, top, right, bottom),
            line(right, bottom, left, bottom), line(left, bottom, left, top)};
}

OrvVectorImageWriter::Frame RedSquareFrame(float left) {
    OrvVectorImageWriter::Layer layer;
    layer.header = {1, 0, 0, 1, 0, 0, 0, 0, 0};
    layer.paths.push_back(Square(left, 16, 32));
    return {layer};
}

} // namespace

TEST(OrvObjectVectorImage, MorphsBetweenTheFirstTwoPosesDrawByDraw) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen());
    // Pose 0 on the left, pose 1 on the right; a third pose is never drawn.
    scene.folder.WriteData(
        "pic.ovi",
        OrvVectorImageWriter::Bytes({RedSquareFrame(0), RedSquareFrame(32), RedSquareFrame(-100)}));
    scene.Load("pic: ovi pic.ovi");
    scene.Line("screen");
    auto* picture = dynamic_cast<OrvObjectVectorImage*>(scene.objects.Object("pic"));
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(3u, picture->File().FrameCount());

    // The first draw is halfway: m = sin(0.01) * 0.5 + 0.5, the square spans 16.16 to 48.16,
    // which covers the pixel centres 16.5 to 47.5.
    scene.Frame();
    EXPECT_EQ((OrvPixelBox{16, 16, 48, 48}), scene.Covered(OrvRgba{0, 0, 0, 255}));
    EXPECT_TRUE(OrvRgbNear(scene.Pixel(30, 30), OrvRgba{255, 0, 0, 255}, 2));
    // A quarter turn later (157 draws in all) the picture is pose 1.
    for (int i = 1; i < 157; ++i)
        scene.Frame();
    EXPECT_NEAR(1.57, picture->Phase(), 1e-5); // 157 additions of 0.01 in float
    EXPECT_EQ((OrvPixelBox{32, 16, 64, 48}), scene.Covered(OrvRgba{0, 0, 0, 255}));
    // Half a turn on, pose 0.
    for (int i = 0; i < 314; ++i)
        scene.Frame();
    EXPECT_EQ((OrvPixelBox{0, 16, 32, 48}), scene.Covered(OrvRgba{0, 0, 0, 255}));
}

TEST(OrvObjectVectorImage, OneFrameStandsStillAndFaultsAreReported) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen());
    scene.folder.WriteData("still.ovi", OrvVectorImageWriter::Bytes({RedSquareFrame(8)}));
    scene.Load("still: ovi still.ovi");
    scene.Line("screen");
    for (int i = 0; i < 100; ++i)
        scene.Frame();
    EXPECT_EQ((OrvPixelBox{8, 16, 40, 48}), scene.Covered(OrvRgba{0, 0, 0, 255}));

    EXPECT_EQ("Invalid amount of arguments passed", scene.LoadError("a: ovi"));
    EXPECT_EQ("Invalid amount of arguments passed", scene.LoadError("a: ovi still.ovi more"));
    EXPECT_EQ("Could not open file: none.ovi", scene.LoadError("a: ovi none.ovi"));
    std::string noFrames;
    OrvVectorImageWriter::AppendU32(noFrames, 0);
    OrvVectorImageWriter::AppendU32(noFrames, 0);
    scene.folder.WriteData("empty.ovi", noFrames);
    EXPECT_EQ("Vector image file without frames: empty.ovi", scene.LoadError("a: ovi empty.ovi"));
    std::string bytes = OrvVectorImageWriter::Bytes({RedSquareFrame(8)});
    scene.folder.WriteData("cut.ovi", bytes.substr(0, bytes.size() - 5));
    EXPECT_EQ(0u, scene.LoadError("a: ovi cut.ovi").find("Damaged vector image file: cut.ovi ("));
    // Outlines so dense that drawing them would stall the show are refused when loading;
    // counting stops at the path that passes the limit (the 4097th of 1024 points each), not
    // at the end of the file.
    OrvVectorImageWriter::Layer dense;
    dense.header = {1, 1, 1, 1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 5000; ++i)
        dense.paths.push_back({{0, 0, 1, 0, 2, 0, 3, 0, 1e9f}});
    scene.folder.WriteData("dense.ovi", OrvVectorImageWriter::Bytes({{dense}}));
    EXPECT_EQ("Vector image file too detailed: dense.ovi (4195328 points, at most 4194304)",
              scene.LoadError("a: ovi dense.ovi"));
    dense.paths.resize(4096); // exactly the limit: drawn
    scene.folder.WriteData("dense.ovi", OrvVectorImageWriter::Bytes({{dense}}));
    EXPECT_EQ("(nothing raised)", scene.LoadError("d: ovi dense.ovi"));
    // No parameters, so no line of a block is understood; and no duplicates.
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              scene.LoadError("b: ovi still.ovi {\n zoom: 1\n}"));
    EXPECT_EQ("Could not duplicate object, because it does not support duplication: still",
              scene.LoadError("c: duplicate still"));
}

// Drawn by a render line into a 256 x 256 buffer, the file's coordinates 0..256 cover the
// buffer whatever the window's size.
TEST(OrvObjectVectorImage, ABufferLineMapsTheFileOntoTheBuffer) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvImageTestScene scene(64, 64, 64, 64);
    ASSERT_TRUE(scene.window.IsOpen());
    OrvVectorImageWriter::Layer layer;
    layer.header = {0, 1, 0, 1, 0, 0, 0, 0, 0};
    layer.paths.push_back(Square(128, 0, 128)); // the top right quarter
    scene.folder.WriteData("quarter.ovi", OrvVectorImageWriter::Bytes({{layer}}));
    scene.Load("pic: ovi quarter.ovi");
    scene.Line("into", "output: *buf 256 256\nobjects: pic");
    scene.Frame();
    std::vector<unsigned char> pixels(256 * 256 * 4, 7);
    OrvGlState::BindTexture(scene.context.scene.Textures().Texture("*buf").handle);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // Rows are stored bottom first: file row y is texture row 255 - y.
    auto green = [&](int x, int y) { return pixels[((255 - y) * 256 + x) * 4 + 1]; };
    EXPECT_EQ(255, green(129, 1));
    EXPECT_EQ(255, green(254, 126));
    EXPECT_EQ(0, green(126, 1));
    EXPECT_EQ(0, green(200, 130));
    EXPECT_EQ(0, green(20, 200));
}
