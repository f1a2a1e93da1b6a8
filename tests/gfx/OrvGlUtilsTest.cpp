#include "gfx/OrvGlUtils.h"
#include "base/OrvDisplayFacts.h"
#include "support/OrvGlTestWindow.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

namespace {
struct Fit {
    int surfaceW, surfaceH, displayW, displayH;
    double aspect;
    bool buffer;
    int width, height; // the arguments; 0 or less stands for the surface size
    const char* viewport;
};

const Fit fits[] = {
    // 4:3 picture on a 5:4 grid of a 16:9 monitor: full height, bars left and right.
    {640, 480, 1280, 1024, 16.0 / 9.0, false, -1, -1, "160,0 960x1024"},
    // The float scale just below 1.28 leaves the picture one pixel short of the display.
    {800, 600, 1024, 768, 4.0 / 3.0, false, 0, 0, "0,0 1023x767"},
    {1024, 768, 1024, 768, 4.0 / 3.0, false, -1, -1, "0,0 1024x768"},
    {640, 480, 1920, 1080, 16.0 / 9.0, false, -1, -1, "240,0 1440x1080"},
    // Wider than the display's shape: bars above and below.
    {1280, 480, 1024, 768, 4.0 / 3.0, false, -1, -1, "0,192 1024x384"},
    // An explicit size stands in for the surface's.
    {1280, 480, 1024, 768, 4.0 / 3.0, false, 256, 128, "0,128 1024x512"},
    // A buffer is always filled whole.
    {1280, 480, 1024, 768, 4.0 / 3.0, true, 0, 0, "0,0 1280x480"},
    {1280, 480, 1024, 768, 4.0 / 3.0, true, 256, 128, "0,0 256x128"},
};

OrvDisplayFacts Sizes(const Fit& fit) {
    OrvDisplayFacts display;
    display.surfaceWidth = fit.surfaceW;
    display.surfaceHeight = fit.surfaceH;
    display.displayWidth = fit.displayW;
    display.displayHeight = fit.displayH;
    display.aspectRatio = fit.aspect;
    return display;
}

std::string Text(int x, int y, int width, int height) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
           std::to_string(height);
}
} // namespace

TEST(OrvGlUtils, FitsThePictureWithBarsWhereTheShapesDiffer) {
    for (const Fit& fit : fits) {
        OrvDisplayFacts display = Sizes(fit);
        OrvGlUtils::Viewport v =
            OrvGlUtils::FullViewport(display, fit.buffer, fit.width, fit.height);
        EXPECT_EQ(fit.viewport, Text(v.x, v.y, v.width, v.height));
    }
}

TEST(OrvGlUtils, SetFullViewportSetsTheFittedRectangleAndSetViewportRefuses) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvGlTestWindow window(64, 64);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    for (const Fit& fit : fits) {
        OrvDisplayFacts display = Sizes(fit);
        OrvGlUtils::SetFullViewport(display, fit.buffer, fit.width, fit.height);
        GLint v[4];
        glGetIntegerv(GL_VIEWPORT, v);
        EXPECT_EQ(fit.viewport, Text(v[0], v[1], v[2], v[3]));
    }
    try {
        OrvGlUtils::SetViewport(0, 0, 1, 1);
        ADD_FAILURE() << "SetViewport did not raise";
    } catch (const std::exception& e) {
        EXPECT_STREQ("OrvGlUtils::SetViewport not implemented", e.what());
    }
}
