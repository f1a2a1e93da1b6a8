// Run --debug timed by a sync editor: a small editor written here, byte for byte from the
// protocol (its greeting, one-byte commands, big-endian integers and floats), listens on a
// port of its own and drives the real Run in a temporary show folder under the test's X
// display. Keys change the picture, SET_ROW moves the show, PAUSE stops it, the show tells
// its rows while it plays, and SAVE_TRACKS bakes the keys that a plain Run then plays.

#include "support/OrvChildProcess.h"
#include "support/OrvShowWindow.h"
#include "support/OrvSyncTestEditor.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;

struct Show {
    OrvTestFolder folder;
    Show() {
        OrvCopyPath(showDir + "/Run", folder.Root() + "/Run");
        OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        OrvCopyPath(showDir + "/data/splash.jpg", folder.DataPath("splash.jpg"));
        OrvCopyPath(showDir + "/data/loading.jpg", folder.DataPath("loading.jpg"));
    }
    void Script(const std::string& text) const { folder.WriteData("script.txt", text); }
};

// 120 bpm and 8 rows a beat: a row is 62.5 ms, row 320 is 20 s. Red follows the editor's
// first track; blue fades in over 40 s; green is the second track's.
const char* const SyncScript = "header {\n  title: \"Sync\"\n  width: 640\n  height: 480\n"
                               "  bpm: 120\n  sync: sync.txt\n}\n"
                               "objects {\n}\nrenderLines {\n  screen {\n  }\n}\n"
                               "sync {\n  screen.clear.r\n  screen.clear.g\n}\n"
                               "script {\n  0 screen.clear.a = 1\n"
                               "  0 screen.clear.b = 0 to 1 in 40\n}\n";

bool StartShow(OrvXDriver& x, OrvChildProcess& child) {
    unsigned long screen = OrvWaitForTitle(x, child, "Orvanta", 20000);
    return screen != 0 && x.Key(screen, "Return");
}

std::function<std::string(const OrvXDriver::Picture&)> MiddleIs(int r, int g, int b) {
    return [=](const OrvXDriver::Picture& picture) -> std::string {
        int pr, pg, pb;
        picture.Pixel(picture.width / 2, picture.height / 2, pr, pg, pb);
        if (std::abs(pr - r) <= 12 && std::abs(pg - g) <= 12 && std::abs(pb - b) <= 12)
            return "";
        return "middle is " + std::to_string(pr) + "," + std::to_string(pg) + "," +
               std::to_string(pb);
    };
}

// Waits until the caption satisfies `good`; the last caption read.
std::string WaitForCaption(OrvXDriver& x, unsigned long window,
                           const std::function<bool(const std::string&)>& good, int timeoutMs) {
    std::string caption;
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        caption = x.Name(window);
        if (good(caption))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return caption;
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

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST(OrvSyncEndToEnd, AnEditorDrivesTheShowAndItsSavedKeysPlayWithoutIt) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script(SyncScript);
    OrvSyncTestEditor editor;
    editor.Listen();
    OrvChildProcess child(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {}, {"--sync", editor.Address()});
    ASSERT_TRUE(StartShow(x, child)) << child.Errors();
    unsigned long playing = OrvWaitForTitle(x, child, "Sync - FPS: ", 20000);
    ASSERT_NE(0u, playing) << child.Errors();

    // The show connects by itself and asks for its tracks, named the editors' way.
    ASSERT_TRUE(editor.Accept(10000)) << child.Errors();
    ASSERT_TRUE(editor.WaitForTracks(2, 5000));
    EXPECT_EQ("screen:clear.r", editor.tracks[0]);
    EXPECT_EQ("screen:clear.g", editor.tracks[1]);

    // Paused, and moved to row 320 (20 s): the caption stands there and blue is half in.
    editor.Pause(true);
    editor.SetRow(320);
    std::string caption = WaitForCaption(
        x, playing,
        [](const std::string& c) {
            return c.find("Position: 20.0s (paused)") != std::string::npos;
        },
        5000);
    EXPECT_NE(std::string::npos, caption.find("Position: 20.0s (paused)")) << caption;
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(0, 0, 128), 5000));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(20.0, OrvCaptionPosition(x.Name(playing))) << "PAUSE stops the position";

    // A key turns red on; a linear key towards a second one fades green on the rows between.
    editor.SetKey(0, 0, 1.0f, 0);
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(255, 0, 128), 5000));
    editor.SetKey(1, 256, 0.0f, 1);
    editor.SetKey(1, 384, 1.0f, 0); // 16 s to 24 s: at 20 s half way
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(255, 128, 128), 5000));
    editor.SetRow(480); // 30 s: green full, blue three quarters
    EXPECT_EQ("", x.WaitForPicture(playing, MiddleIs(255, 255, 191), 5000));
    caption = WaitForCaption(
        x, playing, [](const std::string& c) { return OrvCaptionPosition(c) == 30.0; }, 5000);
    EXPECT_EQ(30.0, OrvCaptionPosition(caption)) << caption;

    // Playing, the show tells the editor its rows as they change.
    editor.rows.clear();
    editor.Pause(false);
    editor.Pump(1500);
    ASSERT_GE(editor.rows.size(), 5u);
    for (size_t i = 1; i < editor.rows.size(); ++i)
        EXPECT_GT(editor.rows[i], editor.rows[i - 1]);
    EXPECT_GE(editor.rows.front(), 480u);
    EXPECT_LT(editor.rows.back(), 480u + 16 * 5); // a few seconds at most
    EXPECT_FALSE(editor.malformed);

    // Saved: the keys are in sync.txt as timeline lines.
    editor.Save();
    std::string baked;
    for (int waited = 0; waited < 5000; waited += 50) {
        baked = ReadText(show.folder.DataPath("sync.txt"));
        if (!baked.empty())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(std::string::npos, baked.find("0.000 screen.clear.r = 1\n")) << baked;
    EXPECT_NE(std::string::npos, baked.find("16.000 screen.clear.g = 0 to 1 in 8.000\n")) << baked;

    // A closed editor leaves the keys and the show plays on.
    editor.Drop();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    editor.Pump(0);
    ASSERT_TRUE(child.Running()) << child.Errors();
    ASSERT_TRUE(x.Key(playing, "Escape"));
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(0, child.ExitCode());
    EXPECT_EQ(std::string::npos, child.Errors().find("Sync editor")) << child.Errors();

    // Without debug mode the baked keys play: red all along, green from 24 s on.
    show.Script(std::string(SyncScript)
                    .replace(std::string(SyncScript).find("bpm: 120"), 8, "bpm: 120\n  jump: 26"));
    OrvChildProcess plain(show.folder.Root() + "/Run", show.folder.Root(),
                          {{"SDL_AUDIODRIVER", "dummy"}}, {});
    ASSERT_TRUE(StartShow(x, plain)) << plain.Errors();
    playing = OrvWaitForTitle(x, plain, "Sync - FPS: ", 20000);
    ASSERT_NE(0u, playing) << plain.Errors();
    // Played full screen: SDL draws in a window of its own, so the whole screen is read.
    std::string wrong = "no screenshot";
    for (int attempt = 0; attempt < 50 && !wrong.empty(); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        OrvXDriver::Picture picture;
        if (!x.Screenshot(RootWindow(), picture))
            continue;
        int r, g, b;
        picture.Pixel(picture.width / 2, picture.height / 2, r, g, b);
        wrong = r > 240 && g > 240 && b > 150 ? ""
                                              : "middle is " + std::to_string(r) + "," +
                                                    std::to_string(g) + "," + std::to_string(b);
    }
    EXPECT_EQ("", wrong);
    ASSERT_TRUE(x.Key(playing, "Escape"));
    ASSERT_TRUE(plain.Wait(10000));
    EXPECT_EQ(0, plain.ExitCode()) << plain.Errors();
}
