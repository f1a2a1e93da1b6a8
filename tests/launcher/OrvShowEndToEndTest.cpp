// The real Run with the real engine in a temporary show folder, under the test's X display:
// the display-mode screen is driven with xdotool, the caption is read back while playing,
// and a screenshot shows what was drawn.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;

std::string Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[512];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return output;
}

void Copy(const std::string& from, const std::string& to) {
    ASSERT_EQ(0, std::system(("cp -r '" + from + "' '" + to + "'").c_str())) << from;
}

// A show folder with the built engine and launcher, and the given data files.
struct Show {
    OrvTestFolder folder;
    Show() {
        Copy(showDir + "/Run", folder.Root() + "/Run");
        Copy(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        Copy(showDir + "/data/splash.jpg", folder.DataPath("splash.jpg"));
        Copy(showDir + "/data/loading.jpg", folder.DataPath("loading.jpg"));
    }
    void Script(const std::string& text) const { folder.WriteData("script.txt", text); }
    void Music() const { Copy(showDir + "/data/music.ogg", folder.DataPath("music.ogg")); }
};

std::string ShowScript(const std::string& header, const std::string& script) {
    return "header {\n  title: \"E2E\"\n  music: music.ogg\n  width: 640\n  height: 480\n" +
           header + "}\nobjects {\n}\nrenderLines {\n  screen {\n  }\n}\nscript {\n" + script +
           "}\n";
}

// Waits for a window whose name matches; returns its id or "".
std::string WaitForWindow(const std::string& pattern, OrvChildProcess& child, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        std::string id = Shell("xdotool search --name '" + pattern + "' 2>/dev/null | head -1");
        if (!id.empty())
            return id;
        if (!child.Running())
            return "";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

std::string WindowName(const std::string& id) {
    return Shell("xdotool getwindowname " + id + " 2>/dev/null");
}

// The position the caption shows, in seconds; -1 when the caption has none.
double CaptionPosition(const std::string& caption) {
    size_t at = caption.find("Position: ");
    return at == std::string::npos ? -1 : std::atof(caption.c_str() + at + 10);
}

// Red, green and blue of the screen's centre.
std::string CentrePixel() {
    std::string shot = "/tmp/orv-e2e-" + std::to_string(getpid()) + ".png";
    Shell("import -window root " + shot);
    std::string rgb = Shell("convert " + shot +
                            " -format '%[fx:int(255*p{640,512}.r+0.5)] "
                            "%[fx:int(255*p{640,512}.g+0.5)] %[fx:int(255*p{640,512}.b+0.5)]' "
                            "info:");
    std::remove(shot.c_str());
    return rgb;
}

bool HaveDisplay() { return std::getenv("DISPLAY") != nullptr; }

// Accepts the display-mode screen with Return once it is up.
bool StartShow(OrvChildProcess& child) {
    std::string screen = WaitForWindow("^Orvanta$", child, 20000);
    if (screen.empty())
        return false;
    Shell("xdotool key --window " + screen + " Return");
    return true;
}
} // namespace

TEST(OrvShowEndToEnd, PlaysTheScriptAndEndsByItself) {
    if (!HaveDisplay())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Music();
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n  0 screen.clear.a = 1\n"
                                           "  0 screen.clear.b = 0 to 1 in 60\n  @3 end\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(child)) << child.Errors();
    std::string playing = WaitForWindow("^E2E - FPS: ", child, 20000);
    ASSERT_FALSE(playing.empty()) << child.Errors();
    std::string caption = WindowName(playing);
    EXPECT_EQ(0u, caption.find("E2E - FPS: ")) << caption;
    EXPECT_NE(std::string::npos, caption.find(" / Position: ")) << caption;
    EXPECT_EQ('s', caption.back()) << caption;
    double position = CaptionPosition(caption);
    EXPECT_GE(position, 0.0);
    EXPECT_LT(position, 6.0);

    // Red at full strength, blue fading in slowly: a few seconds in, blue is still small.
    std::string rgb = CentrePixel();
    int r = -1, g = -1, b = -1;
    ASSERT_EQ(3, std::sscanf(rgb.c_str(), "%d %d %d", &r, &g, &b)) << rgb;
    EXPECT_EQ(255, r);
    EXPECT_EQ(0, g);
    EXPECT_LT(b, 40);

    // @3 is 6 s at 120 bpm: the show ends on its own.
    ASSERT_TRUE(child.Wait(30000)) << "the show did not end by itself";
    EXPECT_TRUE(child.Exited());
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

TEST(OrvShowEndToEnd, ArrowKeysJumpSixteenBeatsAndEscapeEndsOnRelease) {
    if (!HaveDisplay())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(ShowScript("  bpm: 120\n  jump: 30\n", "  0 screen.clear.g = 1\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(child)) << child.Errors();
    std::string playing = WaitForWindow("^E2E - FPS: ", child, 20000);
    ASSERT_FALSE(playing.empty()) << child.Errors();
    double start = CaptionPosition(WindowName(playing));
    EXPECT_GE(start, 30.0); // the jump header starts the show 30 s in
    EXPECT_LT(start, 36.0);

    // Right adds sixteen beats (8 s at 120 bpm).
    Shell("xdotool key --window " + playing + " Right");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    double afterRight = CaptionPosition(WindowName(playing));
    EXPECT_GE(afterRight, start + 8.0);
    EXPECT_LT(afterRight, start + 8.0 + 5.0);

    // Left twice takes 16 s off.
    Shell("xdotool key --window " + playing + " Left");
    Shell("xdotool key --window " + playing + " Left");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    double afterLeft = CaptionPosition(WindowName(playing));
    EXPECT_LT(afterLeft, afterRight - 15.0);
    EXPECT_GE(afterLeft, 0.0);

    // Escape acts on release only.
    Shell("xdotool keydown --window " + playing + " Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(child.Running()); // Wait() would kill a child that outlasts it
    Shell("xdotool keyup --window " + playing + " Escape");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors());
}

TEST(OrvShowEndToEnd, MissingScriptFailsWithTheLogOnStandardError) {
    Show show;
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(), {}, {"DISPLAY"});
    ASSERT_TRUE(child.Wait(20000));
    EXPECT_EQ(1, child.ExitCode());
    EXPECT_EQ("Error: Could not open ../data/script.txt\nCould not load a script file\n",
              child.Errors());
}

TEST(OrvShowEndToEnd, MissingMusicIsOnlyAWarning) {
    if (!HaveDisplay())
        GTEST_SKIP() << "needs an X display";
    Show show; // no music file copied
    show.Script(ShowScript("  bpm: 120\n", "  0 screen.clear.r = 1\n  1 end\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(child)) << child.Errors();
    ASSERT_TRUE(child.Wait(30000));
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ("", child.Errors()); // a warning alone shows no dialog
}

TEST(OrvShowEndToEnd, BrokenTimelineStopsLoadingWithItsMessages) {
    if (!HaveDisplay())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(ShowScript("", "  0 screen.clear.q = 1\n"));
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(child)) << child.Errors();
    // The error dialog comes up; Return closes it.
    std::string dialog = WaitForWindow("^Error$", child, 20000);
    ASSERT_FALSE(dialog.empty()) << child.Errors();
    Shell("xdotool key --window " + dialog + " Return");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(1, child.ExitCode());
    EXPECT_EQ("Error: Unknown parameter: screen.clear.q\nDid you mean:\n\n"
              "screen.clear.r\nscreen.clear.g\nscreen.clear.b\nscreen.clear.a\n"
              "Error on line: 0 screen.clear.q = 1\nErrors in script file\n",
              child.Errors());
}
