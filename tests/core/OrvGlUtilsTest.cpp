#include "core/OrvGlUtils.h"
#include "core/OrvSystemInfo.h"
#include "support/OrvGlTestWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {
void Sizes(int surfaceW, int surfaceH, int displayW, int displayH, double aspect) {
    OrvSystemInfo* info = OrvSystemInfo::Instance();
    info->SetSurfaceSize(surfaceW, surfaceH);
    info->SetDisplaySize(displayW, displayH);
    info->SetAspectRatio(aspect);
}

std::string Text(const OrvGlUtils::Viewport& v) {
    return std::to_string(v.x) + "," + std::to_string(v.y) + " " + std::to_string(v.width) + "x" +
           std::to_string(v.height);
}
} // namespace

TEST(OrvGlUtils, FitsThePictureWithBarsWhereTheShapesDiffer) {
    // 4:3 picture on a 5:4 grid of a 16:9 monitor: full height, bars left and right.
    Sizes(640, 480, 1280, 1024, 16.0 / 9.0);
    EXPECT_EQ("160,0 960x1024", Text(OrvGlUtils::FullViewport(false, -1, -1)));
    // The float scale just below 1.28 leaves the picture one pixel short of the display.
    Sizes(800, 600, 1024, 768, 4.0 / 3.0);
    EXPECT_EQ("0,0 1023x767", Text(OrvGlUtils::FullViewport(false, 0, 0)));
    Sizes(1024, 768, 1024, 768, 4.0 / 3.0);
    EXPECT_EQ("0,0 1024x768", Text(OrvGlUtils::FullViewport(false, -1, -1)));
    Sizes(640, 480, 1920, 1080, 16.0 / 9.0);
    EXPECT_EQ("240,0 1440x1080", Text(OrvGlUtils::FullViewport(false, -1, -1)));
    // Wider than the display's shape: bars above and below.
    Sizes(1280, 480, 1024, 768, 4.0 / 3.0);
    EXPECT_EQ("0,192 1024x384", Text(OrvGlUtils::FullViewport(false, -1, -1)));
    // An explicit size stands in for the surface's.
    EXPECT_EQ("0,128 1024x512", Text(OrvGlUtils::FullViewport(false, 256, 128)));
    // A buffer is always filled whole, and 0 stands for the surface size.
    EXPECT_EQ("0,0 1280x480", Text(OrvGlUtils::FullViewport(true, 0, 0)));
    EXPECT_EQ("0,0 256x128", Text(OrvGlUtils::FullViewport(true, 256, 128)));
}

TEST(OrvGlUtils, SetFullViewportSetsTheFittedRectangleAndSetViewportRefuses) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    Sizes(1280, 480, 1024, 768, 4.0 / 3.0);
    OrvGlUtils::SetFullViewport(false, -1, -1);
    GLint v[4];
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(0, v[0]);
    EXPECT_EQ(192, v[1]);
    EXPECT_EQ(1024, v[2]);
    EXPECT_EQ(384, v[3]);
    OrvGlUtils::SetFullViewport(true, 32, 16);
    glGetIntegerv(GL_VIEWPORT, v);
    EXPECT_EQ(0, v[0] + v[1]);
    EXPECT_EQ(32, v[2]);
    EXPECT_EQ(16, v[3]);
    try {
        OrvGlUtils::SetViewport(0, 0, 1, 1);
        ADD_FAILURE() << "SetViewport did not raise";
    } catch (const std::exception& e) {
        EXPECT_STREQ("OrvGlUtils::SetViewport not implemented", e.what());
    }
}
