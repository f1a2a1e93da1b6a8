// The packed bundled show on a machine that has none of Orvanta's libraries: a minimal Debian
// 12 root made by mmdebstrap (tests/pack/make-clean-root.sh), with Mesa, Xvfb, the X, ALSA and
// PulseAudio client libraries and nothing else; no fonts, no SDL, no libsndfile. The unpacked
// archive is mounted read-only into it (tests/pack/in-clean-root.sh), its programs run there
// under the root's own Xvfb with an empty environment, and this test drives that display from
// outside.

#include "support/OrvChildProcess.h"
#include "support/OrvPngReader.h"
#include "support/OrvShowWindow.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fnmatch.h>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {
const std::string sourceDir = ORV_TEST_SOURCE_DIR;
const std::string showDir = ORV_TEST_SHOW_DIR;
const std::string archive = std::string(ORV_PACK_DIR) + "/Afterglow.zip";
const std::string root = std::string(ORV_PACK_DIR) + "/root";
const std::string inRoot = sourceDir + "/tests/pack/in-clean-root.sh";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

bool LeftToSystem(const std::string& library) {
    for (std::string line : Lines(OrvReadFile(sourceDir + "/scripts/pack-system-libraries.txt"))) {
        line = line.substr(0, line.find('#'));
        line.erase(std::remove_if(line.begin(), line.end(), ::isspace), line.end());
        if (!line.empty() && fnmatch(line.c_str(), library.c_str(), 0) == 0)
            return true;
    }
    return false;
}

// The archive unpacked, and the clean root's own X server; every program of the show started
// through Start runs in the root with the unpacked show read-only at /show.
class CleanMachine {
public:
    CleanMachine() {
        folder.reset(new OrvTestFolder());
        show = folder->Root() + "/Afterglow";
        unpacked =
            OrvRunCommand("unzip -q " + Quoted(archive) + " -d " + Quoted(folder->Root()), 60) == 0;
    }

    // Why the root cannot be used; empty when it can.
    static std::string Unusable() {
        if (Exists(root + "/UNREACHABLE"))
            return OrvReadFile(root + "/UNREACHABLE");
        if (!Exists(root + "/usr/bin/Xvfb"))
            return "the clean root was not made (see OrvPack.Setup.MakeCleanRoot)";
        return "";
    }

    // Starts the root's Xvfb and connects to it; false when it did not come up.
    bool StartDisplay() {
        // -displayfd: it takes the first display number free on this machine and says which;
        // -terminate: it ends when this test's connection ends, whichever way the test ends.
        server.reset(new OrvChildProcess("/bin/bash", "/", {}, {},
                                         {inRoot, root, show, "Xvfb", "-displayfd", "1", "-screen",
                                          "0", "1280x1024x24", "-nolisten", "tcp", "-terminate"}));
        for (int waited = 0; waited < 20000 && server->Running(); waited += 50) {
            std::string number = server->Output();
            if (!number.empty() && number.back() == '\n') {
                display = ":" + number.substr(0, number.size() - 1);
                x.reset(new OrvXDriver(display));
                return x->Connected();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // A program of the show, in the root, on the root's display (with no display at all
    // before StartDisplay).
    std::unique_ptr<OrvChildProcess> Start(const std::vector<std::string>& command) const {
        std::vector<std::string> arguments = {inRoot, root, show};
        if (!display.empty())
            arguments.push_back("DISPLAY=" + display);
        arguments.insert(arguments.end(), command.begin(), command.end());
        return std::unique_ptr<OrvChildProcess>(
            new OrvChildProcess("/bin/bash", "/", {}, {}, arguments));
    }

    std::unique_ptr<OrvTestFolder> folder;
    std::string show;
    bool unpacked = false;
    std::unique_ptr<OrvChildProcess> server;
    std::string display;
    std::unique_ptr<OrvXDriver> x;
};

// Screenshots until `check` finds nothing wrong or the time is up; what was wrong last.
std::string CheckPicture(OrvXDriver& x, unsigned long window,
                         const std::function<std::string(const OrvXDriver::Picture&)>& check,
                         int timeoutMs) {
    std::string wrong = "no screenshot";
    auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(timeoutMs)) {
        OrvXDriver::Picture picture;
        if (x.Screenshot(window, picture)) {
            wrong = check(picture);
            if (wrong.empty())
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return wrong;
}

// The share, in percent, of a grid of samples over a rectangle whose colour passes `test`.
int Share(const OrvXDriver::Picture& picture, int left, int top, int right, int bottom,
          const std::function<bool(int, int, int)>& test) {
    int hits = 0, samples = 0;
    for (int y = top; y < bottom; y += 4) {
        for (int x = left; x < right; x += 4) {
            int r, g, b;
            picture.Pixel(x, y, r, g, b);
            hits += test(r, g, b) ? 1 : 0;
            ++samples;
        }
    }
    return samples ? hits * 100 / samples : 0;
}

// Every file and folder below `folder` with its size and time of change, one a line.
std::string Snapshot(const std::string& folder) {
    std::string listing;
    OrvRunCommand("find " + Quoted(folder) + " -printf '%P %s %T@\\n' | LC_ALL=C sort", 30,
                  &listing);
    return listing;
}

#define ORV_NEEDS_CLEAN_ROOT()                                                                     \
    do {                                                                                           \
        std::string unusable = CleanMachine::Unusable();                                           \
        if (unusable.rfind("mmdebstrap cannot reach", 0) == 0)                                     \
            GTEST_SKIP() << unusable;                                                              \
        ASSERT_EQ("", unusable);                                                                   \
    } while (false)
} // namespace

// Everything the show's programs load comes from its bin/ or is the system's own of the
// written-down list, and the machine lacks what the show brings: its libraries and its font.
TEST(OrvPackedShow, LoadsOnlyItsOwnLibrariesAndTheSystemsOfTheList) {
    ORV_NEEDS_CLEAN_ROOT();
    CleanMachine machine;
    ASSERT_TRUE(machine.unpacked);
    EXPECT_FALSE(Exists(root + "/usr/share/fonts"));
    for (const char* absent : {"libSDL2-2.0.so.0", "libepoxy.so.0", "lib3ds-1.so.3",
                               "libsndfile.so.1", "libsamplerate.so.0", "libGLU.so.1"})
        EXPECT_FALSE(Exists(root + "/usr/lib/x86_64-linux-gnu/" + std::string(absent))) << absent;

    std::unique_ptr<OrvChildProcess> ldd =
        machine.Start({"ldd", "/show/Run", "/show/Capture", "/show/bin/libOrvEngine.so"});
    ASSERT_TRUE(ldd->Wait(60000));
    ASSERT_EQ(0, ldd->ExitCode()) << ldd->Errors();
    int fromShow = 0, fromSystem = 0;
    for (const std::string& line : Lines(ldd->Output())) {
        std::istringstream words(line);
        std::string library, arrow, path;
        words >> library >> arrow >> path;
        if (arrow != "=>")
            continue;
        EXPECT_NE("not", path) << line;
        if (path.compare(0, 10, "/show/bin/") == 0) {
            ++fromShow;
        } else {
            ++fromSystem;
            EXPECT_TRUE(LeftToSystem(library)) << line;
        }
    }
    EXPECT_GE(fromShow, 20) << ldd->Output();
    EXPECT_GE(fromSystem, 10) << ldd->Output();
}

// Run from the read-only folder: the display-mode screen written with the show's own font,
// the show after Return in full screen without a cursor, with its sound through ALSA (no sound
// server here) and nothing logged; Escape ends it with 0, and so does closing the window.
TEST(OrvPackedShow, PlaysFromAReadOnlyFolderOnAMachineWithoutItsLibraries) {
    ORV_NEEDS_CLEAN_ROOT();
    CleanMachine machine;
    ASSERT_TRUE(machine.unpacked);
    ASSERT_TRUE(machine.StartDisplay()) << machine.server->Errors();
    OrvXDriver& x = *machine.x;

    // The show's folder is read-only in the root.
    std::unique_ptr<OrvChildProcess> write = machine.Start({"touch", "/show/written"});
    ASSERT_TRUE(write->Wait(20000));
    EXPECT_NE(0, write->ExitCode());
    EXPECT_NE(std::string::npos, write->Errors().find("Read-only file system")) << write->Errors();
    const std::string before = Snapshot(machine.show);
    ASSERT_NE("", before);
    std::unique_ptr<OrvChildProcess> run = machine.Start({"/show/Run"});
    unsigned long screen = OrvWaitForTitle(x, *run, "Orvanta", 30000);
    ASSERT_NE(0u, screen) << run->Errors();
    // The rows' labels in yellow over the splash picture's dark panel: the font was found.
    EXPECT_EQ("", CheckPicture(
                      x, screen,
                      [](const OrvXDriver::Picture& p) -> std::string {
                          // The labels are thin letters: every pixel of the rows counts.
                          int yellow = 0;
                          for (int y = 255; y < 345; ++y) {
                              for (int x = 150; x < 360; ++x) {
                                  int r, g, b;
                                  p.Pixel(x, y, r, g, b);
                                  yellow += r > 200 && g > 150 && b < 80 ? 1 : 0;
                              }
                          }
                          return yellow >= 100 ? ""
                                               : "no yellow labels: " + std::to_string(yellow) +
                                                     " yellow pixels";
                      },
                      10000));
    EXPECT_GT(x.VisibleCursorPixels(), 0) << "the cursor is there before the show";
    ASSERT_TRUE(x.Key(screen, "Return"));

    unsigned long playing = OrvWaitForTitle(x, *run, "Orvanta - Afterglow - FPS: ", 60000);
    ASSERT_NE(0u, playing) << run->Errors();
    double position = -1;
    for (int waited = 0; waited < 60000 && position < 3 && run->Running(); waited += 100) {
        position = OrvCaptionPosition(x.Name(playing));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_GE(position, 3) << "the show's clock runs";
    // Full screen: the whole display shows the night sky of the first scene, and no cursor.
    EXPECT_EQ("", CheckPicture(
                      x, x.ScreenRoot(),
                      [](const OrvXDriver::Picture& p) -> std::string {
                          if (p.width != 1280 || p.height != 1024)
                              return "a picture of " + std::to_string(p.width) + " x " +
                                     std::to_string(p.height);
                          int lit = Share(p, 0, 0, p.width, p.height,
                                          [](int r, int g, int b) { return r + g + b > 24; });
                          return lit >= 20 ? ""
                                           : "the screen is dark: " + std::to_string(lit) + "%";
                      },
                      10000));
    EXPECT_EQ(0, x.VisibleCursorPixels());

    // Escape acts on release.
    ASSERT_TRUE(x.Key(playing, "Escape"));
    ASSERT_TRUE(run->Wait(20000)) << "Escape did not end the show";
    EXPECT_TRUE(run->Exited());
    EXPECT_EQ(0, run->ExitCode());
    EXPECT_EQ("", run->Errors()) << "no warning, not even about the sound";

    // Closing the window ends it too.
    std::unique_ptr<OrvChildProcess> again = machine.Start({"/show/Run"});
    screen = OrvWaitForTitle(x, *again, "Orvanta", 30000);
    ASSERT_NE(0u, screen) << again->Errors();
    ASSERT_TRUE(x.Key(screen, "Return"));
    playing = OrvWaitForTitle(x, *again, "Orvanta - Afterglow - FPS: ", 60000);
    ASSERT_NE(0u, playing) << again->Errors();
    x.Close(playing);
    ASSERT_TRUE(again->Wait(20000)) << "closing the window did not end the show";
    EXPECT_EQ(0, again->ExitCode());
    EXPECT_EQ("", again->Errors());

    // Nothing was written beside the show.
    EXPECT_EQ(before, Snapshot(machine.show));
}

// Capture from the archive, in the root, draws what Capture from the build draws here, frame
// for frame, and writes the same sound: the carried libraries decode and draw as the build's.
// The packed Capture on the clean machine with no X server at all (an offscreen context through
// EGL) draws what the build's Capture draws in a hidden window on this machine's X display.
TEST(OrvPackedShow, CaptureWithNoDisplayInTheRootMatchesTheBuildsOnX) {
    ORV_NEEDS_CLEAN_ROOT();
    CleanMachine machine;
    ASSERT_TRUE(machine.unpacked);
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        GTEST_SKIP() << "the build's capture needs an X display to compare with";

    // The 3D scene with its lit models, textures and shaders, one second of it.
    const std::vector<std::string> range = {"--fps",  "10", "--size", "320x240",
                                            "--from", "41", "--to",   "42"};
    std::string rootOut = "/tmp/capture-" + std::to_string(getpid());
    std::vector<std::string> command = {"/show/Capture", "--out", rootOut};
    command.insert(command.end(), range.begin(), range.end());
    std::unique_ptr<OrvChildProcess> packed = machine.Start(command);
    ASSERT_TRUE(packed->Wait(240000));
    ASSERT_EQ(0, packed->ExitCode()) << packed->Errors();
    EXPECT_EQ("", packed->Errors());

    std::string buildOut = machine.folder->Root() + "/build-capture";
    std::vector<std::string> arguments = {"--out", buildOut};
    arguments.insert(arguments.end(), range.begin(), range.end());
    OrvChildProcess build(showDir + "/Capture", showDir, {{"SDL_VIDEODRIVER", "x11"}}, {},
                          arguments);
    ASSERT_TRUE(build.Wait(240000));
    ASSERT_EQ(0, build.ExitCode()) << build.Errors();

    std::string fromRoot = root + rootOut;
    EXPECT_TRUE(OrvReadFile(fromRoot + "/audio.wav") == OrvReadFile(buildOut + "/audio.wav"));
    for (int frame = 0; frame < 10; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
        OrvXDriver::Picture ours, theirs;
        ASSERT_TRUE(OrvReadPng(fromRoot + name, ours)) << name;
        ASSERT_TRUE(OrvReadPng(buildOut + name, theirs)) << name;
        ASSERT_EQ(320, ours.width);
        ASSERT_EQ(240, ours.height);
        EXPECT_TRUE(ours.rgb == theirs.rgb) << name << " differs";
    }
    OrvRunCommand("rm -rf " + Quoted(fromRoot), 30);
}
