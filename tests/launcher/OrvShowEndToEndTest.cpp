// The real Run with the real engine in a temporary show folder, under the test's X display:
// the display-mode screen is driven with xdotool, the caption is read back while playing,
// and a screenshot shows what was drawn.

#include "support/OrvChildProcess.h"
#include "support/OrvPngReader.h"
#include "support/OrvShowWindow.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;

// A show folder with the built engine and launcher, and the given data files.
struct Show {
    OrvTestFolder folder;
    Show() {
        OrvCopyPath(showDir + "/Run", folder.Root() + "/Run");
        OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        OrvCopyPath(showDir + "/data/splash.jpg", folder.DataPath("splash.jpg"));
        OrvCopyPath(showDir + "/data/loading.jpg", folder.DataPath("loading.jpg"));
    }
    void Script(const std::string& text) const { folder.WriteData("script.txt", text); }
    void Music() const { OrvCopyPath(showDir + "/data/music.ogg", folder.DataPath("music.ogg")); }
};

std::string ShowScript(const std::string& header, const std::string& script) {
    return "header {\n  title: \"E2E\"\n  music: music.ogg\n  width: 640\n  height: 480\n" +
           header + "}\nobjects {\n}\nrenderLines {\n  screen {\n  }\n}\nscript {\n" + script +
           "}\n";
}

// The screen's root window, as xwininfo names it.
unsigned long RootWindow() {
    FILE* pipe = popen("xwininfo -root 2>/dev/null", "r");
    if (!pipe)
        return 0;
    char line[256];
    unsigned long id = 0;
    while (fgets(line, sizeof line, pipe)) {
        const char* at = std::strstr(line, "Window id: ");
        if (at)
            id = std::strtoul(at + 11, nullptr, 16);
    }
    pclose(pipe);
    return id;
}

// Accepts the display-mode screen with Return once it is up.
bool StartShow(OrvXDriver& x, OrvChildProcess& child) {
    unsigned long screen = OrvWaitForTitle(x, child, "Orvanta", 20000);
    return screen != 0 && x.Key(screen, "Return");
}
} // namespace

TEST(OrvShowEndToEnd, PlaysTheScriptAndEndsByItself) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Music();
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n  0 screen.clear.a = 1\n"
                                           "  0 screen.clear.b = 0 to 1 in 60\n  @3 end\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long playing = OrvWaitForTitle(x, child, "E2E - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();
    std::string caption = x.Name(playing);
    EXPECT_NE(std::string::npos, caption.find(" / Position: ")) << caption;
    EXPECT_EQ('s', caption.back()) << caption;
    double position = OrvCaptionPosition(caption);
    EXPECT_GE(position, 0.0);
    EXPECT_LT(position, 6.0);

    // Red at full strength with blue fading in slowly: a few seconds in, blue is still low.
    // SDL draws a full-screen show in a window of its own on top of the titled one, so the
    // picture is read from the whole screen. The 4:3 picture leaves black bars on the 5:4
    // screen, above and below.
    std::string wrong = "no screenshot";
    for (int attempt = 0; attempt < 20 && !wrong.empty(); ++attempt) {
        OrvXDriver::Picture picture;
        if (!x.Screenshot(RootWindow(), picture))
            continue;
        int r, g, b;
        picture.Pixel(picture.width / 2, picture.height / 2, r, g, b);
        wrong = r < 250 || g > 5 || b > 40 ? "centre is " + std::to_string(r) + "," +
                                                 std::to_string(g) + "," + std::to_string(b)
                                           : "";
        picture.Pixel(picture.width / 2, 5, r, g, b);
        if (wrong.empty() && r + g + b > 6)
            wrong = "the bar above the picture is not black";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ("", wrong);

    // @3 is 6 s at 120 bpm: the show ends on its own.
    ASSERT_TRUE(child.Wait(30000)) << "the show did not end by itself";
    EXPECT_TRUE(child.Exited());
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

TEST(OrvShowEndToEnd, ArrowKeysJumpSixteenBeatsAndEscapeEndsOnRelease) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(ShowScript("  bpm: 120\n  jump: 30\n", "  0 screen.clear.g = 1\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long playing = OrvWaitForTitle(x, child, "E2E - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();
    double start = OrvCaptionPosition(x.Name(playing));
    EXPECT_GE(start, 30.0); // the jump header starts the show 30 s in
    EXPECT_LT(start, 36.0);

    // Right adds sixteen beats (8 s at 120 bpm).
    x.Key(playing, "Right");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    double afterRight = OrvCaptionPosition(x.Name(playing));
    auto rightRead = std::chrono::steady_clock::now();
    EXPECT_GE(afterRight, start + 8.0);
    EXPECT_LT(afterRight, start + 8.0 + 5.0);

    // Left twice takes 16 s off.
    // (SDL takes a release followed at once by a press of the same key for key repeat and
    // drops both, so the second press waits a moment.)
    x.Key(playing, "Left");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    x.Key(playing, "Left");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    double afterLeft = OrvCaptionPosition(x.Name(playing));
    // The show kept playing between the two readings; on a busy machine that may be well
    // over a second, so the wall time measured here is added back.
    double between =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - rightRead).count();
    EXPECT_NEAR(afterRight - 16.0 + between, afterLeft, 1.0)
        << "after Right " << afterRight << ", " << between << " s between the readings";

    // Escape acts on release only.
    x.KeyDown(playing, "Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(x.KeyUp(playing, "Escape"));
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode());
    // This show has no music file: the warning is all its run says.
    EXPECT_EQ("Could not load the music file\n", child.Errors());
}

TEST(OrvShowEndToEnd, MissingScriptFailsWithTheLogOnStandardError) {
    Show show;
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(), {}, {"DISPLAY"});
    ASSERT_TRUE(child.Wait(20000));
    EXPECT_EQ(1, child.ExitCode());
    EXPECT_EQ("Error: Could not open ../data/script.txt\nCould not load a script file\n",
              child.Errors());
}

// Started by its full path from another working directory (here /, which holds no show), Run
// plays the show it lies beside and ends by itself.
TEST(OrvShowEndToEnd, PlaysTheShowBesideItFromAnotherWorkingDirectory) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Music();
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n  0 screen.clear.a = 1\n"
                                           "  @1 end\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", "/", {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    ASSERT_NE(0u, OrvWaitForTitle(x, child, "E2E - FPS: ", 20000)) << child.Errors();
    ASSERT_TRUE(child.Wait(30000)) << "the show did not end by itself";
    EXPECT_TRUE(child.Exited());
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

// Closing the window while the show loads ends the run as a quit: status 0, nothing reported.
// The show has many objects, so loading takes a while, and a last one that cannot load: had
// loading gone on to it, the run would have failed with its message.
TEST(OrvShowEndToEnd, ClosingTheWindowWhileLoadingEndsTheRunWithStatusZero) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Music();
    std::string objects;
    for (int i = 0; i < 2000; ++i)
        objects += "  c" + std::to_string(10000 + i) + ": camera {\n  }\n";
    objects += "  zz: image missing.png\n";
    show.Script("header {\n  title: \"E2E\"\n  music: music.ogg\n  bpm: 120\n}\nobjects {\n" +
                objects + "}\nrenderLines {\n  screen {\n  }\n}\nscript {\n  @1 end\n}\n");
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long loading = OrvWaitForTitle(x, child, "E2E - Loading...", 20000);
    ASSERT_NE(0u, loading) << child.Errors();
    auto closed = std::chrono::steady_clock::now();
    x.Close(loading);
    ASSERT_TRUE(child.Wait(20000)) << "closing the window did not end the run";
    std::printf("the run ended %lld ms after the window was closed\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - closed)
                                           .count()));
    EXPECT_TRUE(child.Exited());
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

TEST(OrvShowEndToEnd, MissingMusicIsOnlyAWarning) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show; // no music file copied
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n  1 end\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    ASSERT_TRUE(child.Wait(30000));
    EXPECT_EQ(0, child.ExitCode());
    // A warning alone shows no dialog (which would have kept the run from ending), but it is
    // not kept from the user: when the run ends the log goes to standard error.
    EXPECT_EQ("Could not load the music file\n", child.Errors());
}

TEST(OrvShowEndToEnd, BrokenTimelineStopsLoadingWithItsMessages) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(ShowScript("", "  0 screen.clear.q = 1\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    // The error dialog comes up; Return closes it.
    unsigned long dialog = OrvWaitForTitle(x, child, "Error", 20000);
    ASSERT_NE(0u, dialog) << child.Errors();
    x.Key(dialog, "Return");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(1, child.ExitCode());
    // Every message at its place, as the check lists them.
    EXPECT_EQ("Error: script.txt:14: Unknown parameter: screen.clear.q\nDid you mean:\n\n"
              "screen.clear.r\nscreen.clear.g\nscreen.clear.b\nscreen.clear.a\n"
              "script.txt:14: Error on line: 0 screen.clear.q = 1\nErrors in script file\n",
              child.Errors());
}

namespace {
// Takes screenshots of the whole screen until `check` accepts one (returns "") or the tries
// run out; returns what was wrong last.
std::string CheckScreen(OrvXDriver& x,
                        const std::function<std::string(const OrvXDriver::Picture&)>& check) {
    std::string wrong = "no screenshot";
    for (int attempt = 0; attempt < 20 && !wrong.empty(); ++attempt) {
        OrvXDriver::Picture picture;
        if (x.Screenshot(RootWindow(), picture))
            wrong = check(picture);
        if (!wrong.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return wrong;
}

// Waits until the caption's position reaches `seconds`; false if the show ended first.
bool WaitForPosition(OrvXDriver& x, OrvChildProcess& child, unsigned long window, double seconds) {
    for (int waited = 0; waited < 60000 && child.Running(); waited += 50) {
        if (OrvCaptionPosition(x.Name(window)) >= seconds)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::string Rgb(int r, int g, int b) {
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}

// The share, in percent, of a grid of samples over a rectangle of the picture whose colour
// passes `test`.
int Share(const OrvXDriver::Picture& picture, int left, int top, int right, int bottom,
          const std::function<bool(int, int, int)>& test) {
    int hits = 0, samples = 0;
    for (int y = top; y < bottom; y += 5) {
        for (int x = left; x < right; x += 5) {
            int r, g, b;
            picture.Pixel(x, y, r, g, b);
            hits += test(r, g, b) ? 1 : 0;
            ++samples;
        }
    }
    return samples ? hits * 100 / samples : 0;
}

// The emblem's orange core in the middle of its ring, 80 pixels above the picture's centre.
std::string EmblemCore(const OrvXDriver::Picture& p) {
    int r, g, b;
    p.Pixel(400, 220, r, g, b);
    if (!(r > 200 && g > 50 && g < 190 && b < 110))
        return "no orange core in the emblem: " + Rgb(r, g, b);
    return "";
}

// The bundled show with Capture beside Run.
struct BundledShow : Show {
    BundledShow() {
        OrvCopyPath(showDir + "/Capture", folder.Root() + "/Capture");
        OrvCopyPath(showDir + "/data/.", folder.DataPath(""));
    }
    // Capture with these arguments, from the show's folder; its exit code and standard error.
    int Capture(const std::vector<std::string>& arguments, std::string& errors) const {
        OrvChildProcess child(folder.Root() + "/Capture", folder.Root(),
                              {{"SDL_AUDIODRIVER", "dummy"}}, {}, arguments);
        bool ended = child.Wait(240000);
        errors = child.Errors();
        return ended && child.Exited() ? child.ExitCode() : -1;
    }
};

// One picture of each scene, checked by a few pixels that tell it.
struct Scene {
    const char* name;
    int seconds; // the picture is the show at this position
    std::function<std::string(const OrvXDriver::Picture&)> check;
};

const std::vector<Scene>& BundledScenes() {
    static const std::vector<Scene> scenes = {
        // The emblem above the middle, the night sky around it.
        {"dawn", 8,
         [](const OrvXDriver::Picture& p) -> std::string {
             std::string core = EmblemCore(p);
             if (!core.empty())
                 return core;
             int night = Share(p, 0, 0, 800, 50,
                               [](int r, int g, int b) { return r + g + b < 150 && b > r; });
             if (night < 60)
                 return "no night sky at the top: " + std::to_string(night) + "%";
             return "";
         }},
        // The bluish star in the middle, coloured rings and rails.
        {"tunnel", 20,
         [](const OrvXDriver::Picture& p) -> std::string {
             int r, g, b;
             p.Pixel(400, 300, r, g, b);
             if (!(b > 150 && b >= r))
                 return "no star in the middle: " + Rgb(r, g, b);
             int lines = Share(p, 0, 0, 800, 600, [](int r, int g, int b) {
                 return std::max(r, std::max(g, b)) > 150;
             });
             if (lines < 5)
                 return "no bright rings or rails: " + std::to_string(lines) + "%";
             return "";
         }},
        // The gold torus lit in fog, the fog's dark blue above.
        {"jewels", 42,
         [](const OrvXDriver::Picture& p) -> std::string {
             // Lit gold: strong red, green about half to nine tenths of it, little blue.
             int gold = Share(p, 0, 0, 800, 600, [](int r, int g, int b) {
                 return r > 120 && g * 100 > r * 45 && g * 100 < r * 90 && b * 2 < g;
             });
             if (gold < 1)
                 return "no lit torus: " + std::to_string(gold) + "%";
             int fog = Share(p, 100, 20, 700, 120, [](int r, int g, int b) {
                 return b > r + 8 && b > g + 8 && r + g + b < 150;
             });
             if (fog < 50)
                 return "the sky is not the fog's blue: " + std::to_string(fog) + "%";
             return "";
         }},
        // The flower's yellow heart in front of the purple sunburst.
        {"break", 68,
         [](const OrvXDriver::Picture& p) -> std::string {
             int r, g, b;
             p.Pixel(400, 300, r, g, b);
             if (!(r > 200 && g > 170 && b < 150))
                 return "no yellow heart in the middle: " + Rgb(r, g, b);
             int purple = Share(p, 0, 0, 800, 600,
                                [](int r, int g, int b) { return r > g + 30 && b > g + 10; });
             if (purple < 50)
                 return "the sunburst is not purple: " + std::to_string(purple) + "%";
             return "";
         }},
        // A white-hot star in the middle, warp streaks round it on grey.
        {"build-up", 84,
         [](const OrvXDriver::Picture& p) -> std::string {
             int r, g, b;
             p.Pixel(400, 300, r, g, b);
             if (r < 230 || g < 230 || b < 230)
                 return "no white star in the middle: " + Rgb(r, g, b);
             int blue = Share(p, 250, 150, 550, 450,
                              [](int r, int g, int b) { return b > r + 40 && b > g && b > 150; });
             if (blue < 10)
                 return "no blue glow round the star: " + std::to_string(blue) + "%";
             return "";
         }},
        // The 3D world again, in red fog.
        {"drop", 96,
         [](const OrvXDriver::Picture& p) -> std::string {
             int red = Share(p, 0, 0, 800, 600, [](int r, int g, int b) {
                 return r > g + 4 && r > b && r + g + b < 600;
             });
             if (red < 60)
                 return "the fog is not red: " + std::to_string(red) + "%";
             return "";
         }},
        // The emblem again, and the title's white letters below it.
        {"outro", 116,
         [](const OrvXDriver::Picture& p) -> std::string {
             std::string core = EmblemCore(p);
             if (!core.empty())
                 return core;
             int white = Share(p, 150, 460, 650, 520,
                               [](int r, int g, int b) { return r > 220 && g > 220 && b > 220; });
             if (white < 10)
                 return "no title: " + std::to_string(white) + "% white";
             return "";
         }},
    };
    return scenes;
}
} // namespace

// The bundled show at fixed positions, captured at its own 800 x 600: each picture is the last
// of two seconds captured at 15 frames a second, so the snow, sparks, petals and trails have
// built up as they do while the show plays.
TEST(OrvShowEndToEnd, TheBundledShowShowsItsScenes) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    BundledShow show;
    for (const Scene& scene : BundledScenes()) {
        std::string out = show.folder.Root() + "/" + scene.name;
        std::string errors;
        ASSERT_EQ(0, show.Capture({"--fps", "15", "--size", "800x600", "--from",
                                   std::to_string(scene.seconds - 2), "--to",
                                   std::to_string(scene.seconds), "--out", out},
                                  errors))
            << scene.name << ": " << errors;
        EXPECT_EQ("", errors) << scene.name;
        OrvXDriver::Picture picture;
        ASSERT_TRUE(OrvReadPng(out + "/frame-000029.png", picture)) << scene.name;
        ASSERT_EQ(800, picture.width);
        ASSERT_EQ(600, picture.height);
        EXPECT_EQ("", scene.check(picture)) << scene.name << " at " << scene.seconds << " s";
    }
}

// Every frame of the whole show renders with nothing logged, offline; and Run plays it to its
// end by itself.
TEST(OrvShowEndToEnd, TheBundledShowPlaysToItsEndWithNothingLogged) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    BundledShow show;
    std::string errors;
    ASSERT_EQ(
        0, show.Capture({"--fps", "5", "--size", "160x120", "--out", show.folder.Root() + "/whole"},
                        errors))
        << errors;
    EXPECT_EQ("", errors);
    OrvXDriver::Picture last;
    EXPECT_TRUE(OrvReadPng(show.folder.Root() + "/whole/frame-000599.png", last))
        << "the show lasts two minutes";

    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long playing = OrvWaitForTitle(x, child, "Orvanta - Afterglow - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();
    // Fifteen jumps of sixteen beats reach the outro; the show then ends by itself.
    for (int i = 0; i < 15; ++i) {
        x.Key(playing, "Right");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(child.Wait(30000)) << "the show did not end by itself";
    EXPECT_TRUE(child.Exited());
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

TEST(OrvShowEndToEnd, AShaderThatDoesNotLinkIsShownAfterTheShowPlayed) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    // Compiles, but a fragment stage without main() cannot link.
    show.folder.WriteData("nomain.frag", "vec4 shade() { return vec4(1.0); }\n");
    show.Script("header {\n  title: E2E\n  bpm: 120\n}\n"
                "objects {\n  pic: image loading.jpg {\n    shader: nomain.frag\n  }\n}\n"
                "renderLines {\n  screen {\n  }\n}\n"
                "script {\n  0 enable pic\n  1 end\n}\n");
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    // The show plays to its end; then the launcher shows the logged error.
    ASSERT_NE(0u, OrvWaitForTitle(x, child, "E2E - FPS: ", 20000)) << child.Errors();
    unsigned long dialog = OrvWaitForTitle(x, child, "Error", 20000);
    ASSERT_NE(0u, dialog) << child.Errors();
    x.Key(dialog, "Return");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode()); // the run itself completed
    EXPECT_EQ(0u, child.Errors().find("Error: script.txt:6: Shader program linking failed:"))
        << child.Errors();
    EXPECT_NE(std::string::npos, child.Errors().find("main")) << child.Errors();
}

TEST(OrvShowEndToEnd, TheAspectRatioChosenOnTheStartScreenShapesThePicture) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    unsigned long screen = OrvWaitForTitle(x, child, "Orvanta", 20000);
    ASSERT_NE(0u, screen) << child.Errors();
    // The 1280 x 1024 desktop preselects 5:4; "a" steps on to 16:9. On a 16:9 monitor the 4:3
    // picture is narrower than the screen: bars left and right, none above.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(x.Key(screen, "a"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(x.Key(screen, "Return"));
    unsigned long playing = OrvWaitForTitle(x, child, "E2E - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();
    EXPECT_EQ("", CheckScreen(x, [](const OrvXDriver::Picture& p) -> std::string {
                  int r, g, b;
                  p.Pixel(640, 10, r, g, b); // top middle: picture
                  if (r < 250 || g > 5 || b > 5)
                      return "top middle is not the red picture";
                  p.Pixel(80, 512, r, g, b); // left of 160: bar
                  if (r + g + b > 6)
                      return "no black bar on the left";
                  p.Pixel(1200, 512, r, g, b); // right of 1120: bar
                  if (r + g + b > 6)
                      return "no black bar on the right";
                  p.Pixel(170, 512, r, g, b); // just inside the picture
                  if (r < 250)
                      return "the picture does not start at x 160";
                  return "";
              }));
    x.Key(playing, "Escape");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode());
}

namespace {
// A check of a window's picture: its middle pixel within 40 of the colour.
std::function<std::string(const OrvXDriver::Picture&)> MiddleIs(int r, int g, int b) {
    return [=](const OrvXDriver::Picture& picture) -> std::string {
        int pr, pg, pb;
        picture.Pixel(picture.width / 2, picture.height / 2, pr, pg, pb);
        if (std::abs(pr - r) <= 40 && std::abs(pg - g) <= 40 && std::abs(pb - b) <= 40)
            return "";
        return "middle is " + std::to_string(pr) + "," + std::to_string(pg) + "," +
               std::to_string(pb);
    };
}
} // namespace

// Run --debug: edits of script.txt show while the show plays on, a broken edit keeps the
// picture and says what is wrong, Space pauses.
TEST(OrvShowEndToEnd, DebugModeReloadsEditsAndPauses) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Music();
    auto script = [&](const std::string& colour) {
        show.Script(ShowScript("  bpm: 120\n",
                               "  0 screen.clear.a = 1\n  0 screen.clear." + colour + " = 1\n"));
    };
    script("r");
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {}, {"--debug"});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long playing = OrvWaitForTitle(x, child, "E2E - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(255, 0, 0), 10000));

    // Blue, within a second on a quiet machine (a loaded test machine gets more time).
    double before = OrvCaptionPosition(x.Name(playing));
    auto edited = std::chrono::steady_clock::now();
    script("b");
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(0, 0, 255), 5000));
    long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - edited)
                       .count();
    std::printf("the edit showed after %lld ms\n", ms);
    EXPECT_GT(OrvCaptionPosition(x.Name(playing)), before) << "the position went on";

    // A broken edit keeps the blue show; the fixed one turns it green.
    script("q");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(0, 0, 255), 2000));
    script("g");
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(0, 255, 0), 5000));

    // Space pauses: the caption says so and its position stands.
    ASSERT_TRUE(x.Key(playing, "space"));
    std::string caption;
    for (int waited = 0; waited < 5000; waited += 50) {
        caption = x.Name(playing);
        if (caption.find("(paused)") != std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(std::string::npos, caption.find("(paused)")) << caption;
    double paused = OrvCaptionPosition(caption);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_EQ(paused, OrvCaptionPosition(x.Name(playing)));
    ASSERT_TRUE(x.Key(playing, "space"));
    ASSERT_TRUE(WaitForPosition(x, child, playing, paused + 0.3));

    ASSERT_TRUE(x.Key(playing, "Escape"));
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode());
    const std::string& errors = child.Errors();
    EXPECT_NE(std::string::npos, errors.find("Unknown parameter: screen.clear.q")) << errors;
    EXPECT_NE(std::string::npos, errors.find("The show was not reloaded")) << errors;
    EXPECT_NE(std::string::npos, errors.find("Reloaded the show at")) << errors;
}
