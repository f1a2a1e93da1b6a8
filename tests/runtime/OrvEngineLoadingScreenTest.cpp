// The engine's own video set-up and loading screen in a real window: the surface size rules
// and the failure of InitVideo, the caption while loading, and every loading-screen frame
// Init draws, read back pixel by pixel.

#include "base/OrvDiagnostics.h"
#include "base/OrvDisplayFacts.h"
#include "runtime/OrvEngine.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <SDL2/SDL.h>
#include <cstddef>
#include <cstdlib>
#include <epoxy/gl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Script(const std::string& header, const std::string& objects = "") {
    return "header {\n" + header + "}\nobjects {\n" + objects +
           "}\nrenderLines {\n}\nscript {\n}\n";
}

// The loading picture: 41 x 21 pixels in four blocks, so a picture drawn mirrored, upside
// down or scaled shows up at once.
const int pictureWidth = 41;
const int pictureHeight = 21;

OrvRgba PictureColor(int x, int yFromTop) {
    if (yFromTop < 10)
        return x < 20 ? OrvRgba{255, 0, 0, 255} : OrvRgba{0, 255, 0, 255};
    return x < 20 ? OrvRgba{0, 0, 255, 255} : OrvRgba{255, 255, 0, 255};
}

std::string PicturePng() {
    std::vector<unsigned char> rgb;
    for (int y = 0; y < pictureHeight; ++y)
        for (int x = 0; x < pictureWidth; ++x) {
            OrvRgba c = PictureColor(x, y);
            rgb.insert(rgb.end(), {static_cast<unsigned char>(c.r), static_cast<unsigned char>(c.g),
                                   static_cast<unsigned char>(c.b)});
        }
    return OrvMakePng(pictureWidth, pictureHeight, 3, rgb);
}

const int windowWidth = 200;
const int windowHeight = 150;

// The whole window, top row first.
std::vector<OrvRgba> ReadWindow() {
    std::vector<unsigned char> bytes(std::size_t(windowWidth) * windowHeight * 4);
    glFinish();
    glReadPixels(0, 0, windowWidth, windowHeight, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    std::vector<OrvRgba> pixels(std::size_t(windowWidth) * windowHeight);
    for (int y = 0; y < windowHeight; ++y)
        for (int x = 0; x < windowWidth; ++x) {
            const unsigned char* p = &bytes[(std::size_t(y) * windowWidth + x) * 4];
            pixels[std::size_t(windowHeight - 1 - y) * windowWidth + x] =
                OrvRgba{p[0], p[1], p[2], p[3]};
        }
    return pixels;
}

// Compares a frame with the picture at (x0, y0) from the top left, the bar from x0 to xp
// (exclusive) on rows y1 + 1 to y1 + 5, and black everywhere else. Names the first few
// pixels that differ.
::testing::AssertionResult LooksLike(const std::vector<OrvRgba>& frame, int x0, int y0, int xp) {
    const OrvRgba black{0, 0, 0, 255};
    const OrvRgba white{255, 255, 255, 255};
    int y1 = y0 + pictureHeight;
    int wrong = 0;
    std::ostringstream report;
    for (int y = 0; y < windowHeight; ++y)
        for (int x = 0; x < windowWidth; ++x) {
            OrvRgba expected = black;
            if (x >= x0 && x < x0 + pictureWidth && y >= y0 && y < y1)
                expected = PictureColor(x - x0, y - y0);
            else if (x >= x0 && x < xp && y > y1 && y <= y1 + 5)
                expected = white;
            const OrvRgba& actual = frame[std::size_t(y) * windowWidth + x];
            if (!OrvRgbNear(actual, expected, 8) && ++wrong <= 5)
                report << " (" << x << ", " << y << ") is " << actual << " not " << expected;
        }
    if (wrong == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong << " pixels differ:" << report.str();
}

// Keeps every loading-screen frame that Init shows. The frames are read from the back
// buffer after the swap: Mesa's software renderer leaves the picture just shown there,
// while reading the front buffer of a window on Xvfb gives black.
class RecordingEngine : public OrvEngine {
public:
    using OrvEngine::OrvEngine;
    void LoadingProgressed() override {
        if (frames.empty()) { // the first screen, drawn before any loading step
            frames.push_back(ReadWindow());
            captionWhileLoading = Video().Caption();
        }
        OrvEngine::LoadingProgressed();
        frames.push_back(ReadWindow());
    }

    std::vector<std::vector<OrvRgba>> frames;
    std::string captionWhileLoading;
};

// Closes the window (an SDL_QUIT event, as the window manager's close button sends) before
// loading step `closeAt` is shown.
class ClosingEngine : public OrvEngine {
public:
    ClosingEngine(OrvRunContext& run, int closeAt) : OrvEngine(run), closeAt(closeAt) {}
    void LoadingProgressed() override {
        if (++steps == closeAt) {
            SDL_Event event = {};
            event.type = SDL_QUIT;
            EXPECT_EQ(1, SDL_PushEvent(&event));
        }
        OrvEngine::LoadingProgressed();
    }
    int closeAt;
    int steps = 0;
};

class VideoEngine : public OrvEngine {
public:
    using OrvEngine::InitVideo;
    using OrvEngine::OrvEngine;
};

} // namespace

TEST(OrvEngineLoadingScreen, CentresThePictureAtItsOwnSizeAndFillsTheBarStepByStep) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    // Four objects and the engine's own four steps (render lines, the music's analysis, the
    // timeline, the music): eight steps, four of them at half way.
    folder.WriteData("script.txt", Script("  title: \"Bar Test\"\n  width: 100\n  height: 75\n",
                                          "  a: camera {\n  }\n  b: camera {\n  }\n"
                                          "  c: camera {\n  }\n  d: camera {\n  }\n"));
    folder.WriteData("loading.jpg", PicturePng()); // recognised by its bytes, not its name
    OrvTestContext context(folder.DataPath(""));
    RecordingEngine engine(context.run);
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
    // The 100 x 75 picture fills the 200 x 150 window at twice its size; the loading
    // picture still keeps its own size.
    ASSERT_TRUE(engine.Init(windowWidth, windowHeight, 4.0 / 3.0, 0)) << context.diagnostics.Text();
    EXPECT_EQ("Could not load the music file\n", context.diagnostics.Text());
    EXPECT_EQ("Bar Test - Loading...", engine.captionWhileLoading);

    ASSERT_EQ(9u, engine.frames.size());
    // (200 - 41) / 2 = 79.5 and (150 - 21) / 2 = 64.5, both cut to whole pixels.
    const int x0 = 79;
    const int y0 = 64;
    EXPECT_TRUE(LooksLike(engine.frames[0], x0, y0, x0)) << "0 of 1: no bar";
    EXPECT_TRUE(LooksLike(engine.frames[1], x0, y0, x0 + 5)) << "1 of 8"; // 41 / 8 = 5.125
    EXPECT_TRUE(LooksLike(engine.frames[4], x0, y0, x0 + 20)) << "4 of 8: the left half";
    EXPECT_TRUE(LooksLike(engine.frames[8], x0, y0, x0 + pictureWidth)) << "8 of 8: full";
}

TEST(OrvEngineLoadingScreen, AWindowClosedWhileLoadingEndsInitAsAQuitWithNothingReported) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    folder.WriteData("script.txt",
                     Script("  title: Closed\n", "  a: camera {\n  }\n  b: camera {\n  }\n"
                                                 "  c: camera {\n  }\n"));
    folder.WriteData("loading.jpg", PicturePng());
    OrvTestContext context(folder.DataPath(""));
    ClosingEngine engine(context.run, 2);
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
    EXPECT_FALSE(engine.QuitRequested());
    EXPECT_FALSE(engine.Init(windowWidth, windowHeight, 4.0 / 3.0, 0));
    EXPECT_TRUE(engine.QuitRequested());
    EXPECT_EQ(2, engine.steps) << "loading stopped at the step the window was closed";
    EXPECT_EQ("", context.diagnostics.Text());
    EXPECT_FALSE(context.diagnostics.HasError());
}

TEST(OrvEngineVideo, SurfaceSizeComesFromTheScriptOr640By480AndAModeThatFailsIsLogged) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvTestFolder folder;
    OrvTestContext context(folder.DataPath(""));
    VideoEngine engine(context.run);
    struct Case {
        const char* header;
        int width;
        int height;
    };
    const Case cases[] = {
        {"", 640, 480},
        {"  width: 0\n  height: 0\n", 640, 480},
        {"  width: -800\n  height: -600\n", 640, 480},
        {"  width: 800\n", 800, 480},
        {"  width: 1024.9\n  height: 600\n", 1024, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        folder.WriteData("script.txt", Script(std::string("  title: Sizes\n") + c.header));
        ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
        ASSERT_TRUE(engine.InitVideo(160, 120, 16.0 / 9.0, false)) << context.diagnostics.Text();
        const OrvDisplayFacts& info = context.run.Display();
        EXPECT_EQ(c.width, info.surfaceWidth);
        EXPECT_EQ(c.height, info.surfaceHeight);
        EXPECT_EQ(160, info.displayWidth); // the mode set, whatever the script says
        EXPECT_EQ(120, info.displayHeight);
        EXPECT_DOUBLE_EQ(16.0 / 9.0, info.aspectRatio);
        EXPECT_EQ("Sizes - Loading...", engine.Video().Caption());
    }

    // The state the render lines start from.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>({0, 0, 0, 0.5f}), std::vector<GLfloat>(clear, clear + 4));
    GLint depthFunc = 0, shadeModel = 0, hint = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(GL_LEQUAL, depthFunc);
    EXPECT_EQ(GL_SMOOTH, shadeModel);
    EXPECT_EQ(GL_NICEST, hint);
    GLint stencilBits = 0; // for the fills of concave outlines
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    EXPECT_GE(stencilBits, 8);
    EXPECT_EQ("", context.diagnostics.Text());

    // X cannot make a window this large: the failure is SDL's, in the window's own words.
    EXPECT_FALSE(engine.InitVideo(100000, 100000, 1.0, false));
    EXPECT_EQ(0u, context.diagnostics.Text().find("Unable to set video mode: "))
        << context.diagnostics.Text();
}
