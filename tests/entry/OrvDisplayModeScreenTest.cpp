// The display-mode screen in a real window: each test runs the screen in a forked child on
// the test's X display, drives it with sent key presses, clicks and close requests, and reads
// the choice that the child prints when the screen returned.

#include "entry/OrvDisplayModeScreen.h"
#include "entry/OrvDisplaySettings.h"
#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"
#include "support/OrvXDriver.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {
const int splashWidth = 640;
const int splashHeight = 400;
const int splashGrey = 128;
const int waitMs = 10000;

#define ORV_SKIP_WITHOUT_X(driver)                                                                 \
    if (!(driver).Connected())                                                                     \
    GTEST_SKIP() << "no X display"

// A plain grey splash picture, a real JPEG as the show ships it.
void WriteSplash(const OrvTestFolder& folder) {
    std::string command = "convert -size " + std::to_string(splashWidth) + "x" +
                          std::to_string(splashHeight) + " xc:'rgb(" + std::to_string(splashGrey) +
                          "," + std::to_string(splashGrey) + "," + std::to_string(splashGrey) +
                          ")' '" + folder.DataPath("splash.jpg") + "'";
    ASSERT_EQ(0, OrvRunCommand(command, 30)) << command;
}

// Shows the screen of the folder's data in a child process and prints what it returned and
// what came out of it, on one line that starts with "status=": the screen's return value
// (Accepted -1, Cancelled 0 or a start-up failure's status). The child itself always ends
// with 0, so a screen that ended the process instead of returning shows.
std::unique_ptr<OrvChildProcess>
StartScreen(const OrvTestFolder& folder, bool debug,
            const std::string& fontFile = OrvDisplayModeScreen::FontFile()) {
    const std::string dataFolder = folder.DataPath("");
    return std::make_unique<OrvChildProcess>([debug, fontFile, dataFolder]() {
        OrvDisplaySettings settings;
        settings.SetScriptSize(1024, 768);
        settings.SetVersionText("0.2 (Jul 26 2009)");
        int status = OrvDisplayModeScreen::Show(settings, dataFolder, debug, fontFile);
        bool accepted = status == OrvDisplayModeScreen::Accepted;
        std::printf("status=%d accepted=%d width=%d height=%d aspect=%.4f full=%d mode=%s "
                    "aspectLabel=%s sdlOpen=%d\n",
                    status, accepted ? 1 : 0, settings.ChosenWidth(), settings.ChosenHeight(),
                    settings.ChosenAspectRatio(), settings.ChosenFullScreen() ? 1 : 0,
                    settings.SelectedModeLabel().c_str(), settings.SelectedAspectLabel().c_str(),
                    SDL_WasInit(SDL_INIT_VIDEO) != 0 ? 1 : 0);
        return 0;
    });
}

std::string Field(const std::string& output, const std::string& name) {
    std::string key = name + "=";
    size_t start = output.find(key);
    if (start == std::string::npos)
        return "<missing>";
    start += key.size();
    size_t end = output.find_first_of(" \n", start);
    return output.substr(start, end - start);
}

// What the screen preselects for the display the tests run on: its own size, and the aspect
// ratio entry for it.
std::string DesktopAspectLabel(const OrvXDriver& x) {
    const char* labels[] = {"4:3", "5:4", "16:9", "16:10"};
    return labels[OrvDisplayModeList::AspectIndexForDesktop({x.ScreenWidth(), x.ScreenHeight()})];
}
std::string NextAspectLabel(const OrvXDriver& x) {
    const char* labels[] = {"4:3", "5:4", "16:9", "16:10"};
    int index = OrvDisplayModeList::AspectIndexForDesktop({x.ScreenWidth(), x.ScreenHeight()});
    return labels[(index + 1) % 4];
}

bool IsWhite(int r, int g, int b) {
    return r > 200 && g > 200 && b > 200;
}
bool IsYellow(int r, int g, int b) {
    return r > 200 && g > 150 && g < 235 && b < 90;
}
bool IsDark(int r, int g, int b) {
    return r < 60 && g < 60 && b < 60;
}

// Whether some pixel of the rectangle satisfies `test`.
bool AnyPixel(const OrvXDriver::Picture& picture, int left, int top, int right, int bottom,
              const std::function<bool(int, int, int)>& test) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            int r, g, b;
            picture.Pixel(x, y, r, g, b);
            if (r >= 0 && test(r, g, b))
                return true;
        }
    }
    return false;
}

// Waits, at most `waitMs`, until the screen shows its first row: the user sees the screen
// before acting on it, and SDL has then finished setting up the window.
bool WaitUntilDrawn(OrvXDriver& x, unsigned long window, int timeoutMs = waitMs) {
    return x
        .WaitForPicture(
            window,
            [](const OrvXDriver::Picture& shot) {
                return AnyPixel(shot, 50, 260, 100, 278, IsWhite) ? "" : "first row not drawn";
            },
            timeoutMs)
        .empty();
}

// The child's screen window once its first row is drawn; 0 when it did not appear in time.
// The window is looked for again while it is not drawn: on a display shared with other
// tests' windows, the first one found may be gone by the time it is looked at.
unsigned long ShownScreen(OrvXDriver& x, OrvChildProcess& child) {
    const int step = 2000;
    for (int waited = 0; waited < waitMs && child.Running(); waited += step) {
        unsigned long window = x.WaitForWindow(child.Pid(), step);
        if (window != 0 && WaitUntilDrawn(x, window, step))
            return window;
    }
    return 0;
}

// Rightmost yellow column of the first row's label; -1 when there is none.
int LabelRightEdge(const OrvXDriver::Picture& picture) {
    int edge = -1;
    for (int y = 258; y < 280; ++y) {
        for (int x = 160; x < 350; ++x) {
            int r, g, b;
            picture.Pixel(x, y, r, g, b);
            if (IsYellow(r, g, b) && x > edge)
                edge = x;
        }
    }
    return edge;
}
} // namespace

TEST(OrvDisplayModeScreen, ShowsRowsOverTheSplashAndAcceptsOnReturn) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;
    WriteSplash(folder);
    auto child = StartScreen(folder, false);

    unsigned long window = x.WaitForWindow(child->Pid(), waitMs);
    ASSERT_NE(0ul, window) << child->Errors();
    EXPECT_EQ("Orvanta", x.Name(window));
    int width = 0, height = 0;
    ASSERT_TRUE(x.Size(window, width, height));
    EXPECT_EQ(splashWidth, width);
    EXPECT_EQ(splashHeight, height);

    auto problem = [](const OrvXDriver::Picture& shot) -> std::string {
        int r, g, b;
        shot.Pixel(600, 100, r, g, b);
        if (std::abs(r - splashGrey) > 8 || std::abs(g - splashGrey) > 8 ||
            std::abs(b - splashGrey) > 8)
            return "splash colour at (600, 100): " + std::to_string(r) + " " + std::to_string(g) +
                   " " + std::to_string(b);
        if (!AnyPixel(shot, 50, 260, 100, 278, IsWhite))
            return "caption \"Mode:\"";
        if (!AnyPixel(shot, 50, 290, 120, 308, IsWhite))
            return "caption \"Resolution:\"";
        if (!AnyPixel(shot, 50, 320, 130, 338, IsWhite))
            return "caption \"Aspect ratio:\"";
        if (!AnyPixel(shot, 150, 260, 159, 278, IsWhite))
            return "the \"<\"";
        if (!AnyPixel(shot, 160, 260, 300, 278, IsYellow))
            return "label \"Full screen\"";
        if (!AnyPixel(shot, 160, 290, 340, 308, IsYellow))
            return "resolution label";
        if (!AnyPixel(shot, 0, 0, 130, 16, IsDark))
            return "version text";
        if (AnyPixel(shot, 360, 0, 640, 250, IsDark))
            return "something drawn beside the rows";
        return "";
    };
    EXPECT_EQ("", x.WaitForPicture(window, problem, waitMs));

    ASSERT_TRUE(x.KeyDown(window, "Return"));
    ASSERT_TRUE(child->Wait(waitMs)) << "the screen did not return";
    EXPECT_TRUE(child->Exited());
    std::string out = child->Output();
    EXPECT_EQ("-1", Field(out, "status")) << out;
    EXPECT_EQ("1", Field(out, "accepted")) << out;
    EXPECT_EQ(std::to_string(x.ScreenWidth()), Field(out, "width")) << out;
    EXPECT_EQ(std::to_string(x.ScreenHeight()), Field(out, "height")) << out;
    EXPECT_EQ("1", Field(out, "full")) << out;
    EXPECT_EQ(DesktopAspectLabel(x), Field(out, "aspectLabel")) << out;
    EXPECT_EQ("0", Field(out, "sdlOpen")) << "the screen shuts SDL down again";
    EXPECT_EQ("", child->Errors()) << "nothing reported";
}

TEST(OrvDisplayModeScreen, DebugModeCaptionPreselectsWindowedAndKeysStep) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;
    WriteSplash(folder);
    auto child = StartScreen(folder, true);

    unsigned long window = x.WaitForWindow(child->Pid(), waitMs);
    ASSERT_NE(0ul, window) << child->Errors();
    EXPECT_EQ("Orvanta (debug mode)", x.Name(window));
    int windowedEdge = -1;
    EXPECT_EQ("", x.WaitForPicture(
                      window,
                      [&](const OrvXDriver::Picture& shot) {
                          windowedEdge = LabelRightEdge(shot);
                          return windowedEdge > 160 ? "" : "no label \"Windowed\"";
                      },
                      waitMs));

    // "w" turns "Windowed" into the wider "Full screen"; the row is redrawn.
    ASSERT_TRUE(x.Key(window, "w"));
    EXPECT_EQ("", x.WaitForPicture(
                      window,
                      [&](const OrvXDriver::Picture& shot) {
                          return LabelRightEdge(shot) > windowedEdge ? "" : "label not wider";
                      },
                      waitMs));

    ASSERT_TRUE(x.Key(window, "a"));
    ASSERT_TRUE(x.Key(window, "space")); // does nothing
    ASSERT_TRUE(x.KeyDown(window, "Return"));
    ASSERT_TRUE(child->Wait(waitMs));
    std::string out = child->Output();
    EXPECT_EQ("1", Field(out, "accepted")) << out;
    EXPECT_EQ("1", Field(out, "full")) << out;
    EXPECT_EQ(NextAspectLabel(x), Field(out, "aspectLabel")) << out;
}

TEST(OrvDisplayModeScreen, ClicksStepTheRowsAndTheStartAreaAccepts) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;
    WriteSplash(folder);
    auto child = StartScreen(folder, false);
    unsigned long window = ShownScreen(x, *child);
    ASSERT_NE(0ul, window) << child->Errors();

    x.Click(window, 100, 275, 1); // mode -1: Full screen -> Windowed
    x.Click(window, 100, 240, 3); // still row 0, right button: +1 -> Full screen
    x.Click(window, 100, 275, 4); // wheel on the "<" side: -1 -> Windowed
    x.Click(window, 200, 335, 1); // aspect ratio +1
    x.Click(window, 400, 300, 1); // between rows and start area: nothing
    x.Click(window, 600, 300, 1); // start area: accept
    ASSERT_TRUE(child->Wait(waitMs))
        << "the start area did not accept: " << child->Output() << child->Errors();
    std::string out = child->Output();
    EXPECT_EQ("1", Field(out, "accepted")) << out;
    EXPECT_EQ("0", Field(out, "full")) << out;
    EXPECT_EQ("Windowed", Field(out, "mode")) << out;
    EXPECT_EQ(NextAspectLabel(x), Field(out, "aspectLabel")) << out;
}

TEST(OrvDisplayModeScreen, EscapeAndTheCloseButtonCancel) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;
    WriteSplash(folder);

    auto escaped = StartScreen(folder, false);
    unsigned long window = ShownScreen(x, *escaped);
    ASSERT_NE(0ul, window) << escaped->Errors();
    ASSERT_TRUE(x.KeyDown(window, "Escape"));
    ASSERT_TRUE(escaped->Wait(waitMs));
    std::string out = escaped->Output();
    EXPECT_EQ("0", Field(out, "status")) << out;
    EXPECT_EQ("0", Field(out, "accepted")) << out;
    EXPECT_EQ("0", Field(out, "sdlOpen")) << out;
    EXPECT_EQ("", escaped->Errors()) << "nothing reported";

    auto closed = StartScreen(folder, false);
    window = ShownScreen(x, *closed);
    ASSERT_NE(0ul, window) << closed->Errors();
    x.Close(window);
    ASSERT_TRUE(closed->Wait(waitMs))
        << "closing the window did not cancel: " << closed->Output() << closed->Errors();
    out = closed->Output();
    EXPECT_EQ("0", Field(out, "status")) << out;
    EXPECT_EQ("0", Field(out, "accepted")) << out;
    EXPECT_EQ("", closed->Errors()) << "nothing reported";
}

TEST(OrvDisplayModeScreen, NoVideoDeviceReturnsStatusOne) {
    OrvTestFolder folder;
    const std::string dataFolder = folder.DataPath("");
    // A driver SDL does not have, and no display at all: the second says what to do instead.
    for (bool noDisplay : {false, true}) {
        OrvChildProcess child([dataFolder, noDisplay]() {
            if (noDisplay) {
                unsetenv("DISPLAY");
                unsetenv("WAYLAND_DISPLAY");
            } else {
                setenv("DISPLAY", ":9999", 1);
                setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            }
            OrvDisplaySettings settings;
            int status = OrvDisplayModeScreen::Show(settings, dataFolder, false);
            return status == 1 ? 42 : 99; // the screen returns; it does not end the process
        });
        ASSERT_TRUE(child.Wait(waitMs));
        EXPECT_TRUE(child.Exited());
        EXPECT_EQ(42, child.ExitCode()) << "Show did not return status 1";
        // Wayland's client library may say first that it found no runtime folder.
        std::string errors = child.Errors();
        size_t at = errors.find("Unable to initialize SDL: ");
        ASSERT_NE(std::string::npos, at) << errors;
        EXPECT_GT(errors.size() - at, std::string("Unable to initialize SDL: \n").size()) << errors;
        EXPECT_EQ('\n', errors.back());
        const std::string hint = "(there is no display: DISPLAY and WAYLAND_DISPLAY are unset; "
                                 "Run --check checks a show and Capture renders it without one)";
        EXPECT_EQ(noDisplay, errors.find(hint) != std::string::npos) << errors;
        EXPECT_EQ("", child.Output());
    }
}

TEST(OrvDisplayModeScreen, MissingSplashOrFontReturnTheirStatus) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;

    auto noSplash = StartScreen(folder, false);
    ASSERT_TRUE(noSplash->Wait(waitMs));
    EXPECT_TRUE(noSplash->Exited());
    EXPECT_EQ(0, noSplash->ExitCode()) << "the screen ended the process instead of returning";
    std::string out = noSplash->Output();
    EXPECT_EQ("2", Field(out, "status")) << out;
    EXPECT_EQ(0u, out.find("status=")) << "nothing else on standard output: " << out;
    EXPECT_EQ("0", Field(out, "sdlOpen")) << out;
    std::string errors = noSplash->Errors();
    EXPECT_EQ(0u, errors.find("Unable to load graphics: ")) << errors;
    EXPECT_NE(std::string::npos, errors.find("splash.jpg")) << errors;

    // A PNG under the splash's name whose IDAT chunk claims more bytes than the file has: a
    // decoder fed this would never return.
    std::string png = OrvMakePng(4, 4, 3, std::vector<unsigned char>(48, 200));
    png.resize(png.size() - 20);
    folder.WriteData("splash.jpg", png);
    auto damaged = StartScreen(folder, false);
    ASSERT_TRUE(damaged->Wait(waitMs)) << "a damaged splash hung the screen";
    EXPECT_EQ("2", Field(damaged->Output(), "status")) << damaged->Output();
    EXPECT_EQ("Unable to load graphics: ../data/splash.jpg: the file is not a complete PNG, "
              "JPEG, BMP, TGA or GIF picture\n",
              damaged->Errors());

    WriteSplash(folder);
    auto noFont = StartScreen(folder, false, folder.DataPath("missing-font.ttf"));
    ASSERT_TRUE(noFont->Wait(waitMs));
    EXPECT_TRUE(noFont->Exited());
    EXPECT_EQ(0, noFont->ExitCode()) << "the screen ended the process instead of returning";
    out = noFont->Output();
    EXPECT_EQ("5", Field(out, "status")) << out;
    EXPECT_EQ(0u, out.find("status=")) << "nothing else on standard output: " << out;
    EXPECT_EQ("0", Field(out, "sdlOpen")) << out;
    errors = noFont->Errors();
    EXPECT_EQ(0u, errors.find("Could not load a font: ")) << errors;
    EXPECT_EQ('\n', errors.back());
}
