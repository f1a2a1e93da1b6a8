// The real Run under a real Wayland compositor, through SDL's own Wayland driver, with no X
// display of its own: weston with its X11 back end runs inside the test's X display (weston's
// headless back end offers no seat, on which SDL's Wayland driver cannot start), so the test
// sees what the compositor shows and types into it as a user would.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;
const int waitMs = 30000;

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string Colour(const OrvXDriver::Picture& shot, int x, int y) {
    int r, g, b;
    shot.Pixel(x, y, r, g, b);
    return std::to_string(r) + "," + std::to_string(g) + "," + std::to_string(b);
}
} // namespace

TEST(OrvWaylandEndToEnd, TheShowPlaysUnderAWaylandCompositor) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "needs an X display for the compositor's window";
    if (!Exists("/usr/bin/weston"))
        GTEST_SKIP() << "weston is not installed";
    OrvTestFolder folder;
    OrvCopyPath(showDir + "/Run", folder.Root() + "/Run");
    OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
    OrvCopyPath(showDir + "/data/splash.jpg", folder.DataPath("splash.jpg"));
    OrvCopyPath(showDir + "/data/loading.jpg", folder.DataPath("loading.jpg"));
    folder.WriteData("script.txt", "header {\n  title: Wayland\n  width: 640\n  height: 480\n}\n"
                                   "objects {\n}\nrenderLines {\n  screen {\n  }\n}\nscript {\n"
                                   "  0 screen.clear.g = 1\n  0 screen.clear.a = 1\n}\n");
    // The compositor's socket lives in a runtime folder only this user may enter.
    std::string runtime = folder.Root() + "/xdg";
    ASSERT_EQ(0, mkdir(runtime.c_str(), 0700));
    std::string socket = "orv-wayland-" + std::to_string(getpid());
    OrvChildProcess weston("/usr/bin/weston", folder.Root(), {{"XDG_RUNTIME_DIR", runtime}}, {},
                           {"--backend=x11-backend.so", "--shell=kiosk-shell.so",
                            "--socket=" + socket, "--width=640", "--height=480", "--idle-time=0"});
    for (int waited = 0; waited < waitMs && !Exists(runtime + "/" + socket); waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(Exists(runtime + "/" + socket)) << weston.Errors();
    unsigned long output = x.WaitForWindow(weston.Pid(), waitMs);
    ASSERT_NE(0ul, output) << weston.Errors();

    // No client-side decorations (libdecor): the kiosk shell shows the show full screen anyway.
    std::vector<std::pair<std::string, std::string>> environment = {
        {"XDG_RUNTIME_DIR", runtime},
        {"WAYLAND_DISPLAY", socket},
        {"SDL_VIDEODRIVER", "wayland"},
        {"SDL_VIDEO_WAYLAND_ALLOW_LIBDECOR", "0"},
        {"SDL_AUDIODRIVER", "dummy"}};
    // In the sanitized build: SDL 2.26's Wayland back end leaves each output's record (its name
    // and list of modes) and some of libwayland's proxies behind at quit, with stacks that end
    // inside those libraries. The same engine code is leak-checked on X11 by the other
    // end-to-end tests; here only addressing errors count.
    if (const char* asan = std::getenv("ASAN_OPTIONS"))
        environment.push_back({"ASAN_OPTIONS", std::string(asan) + ":detect_leaks=0"});
    OrvChildProcess run(folder.Root() + "/Run", folder.Root(), environment, {"DISPLAY"});
    // The display-mode screen inside the compositor: its yellow start area on the splash.
    EXPECT_EQ("", x.WaitForPicture(
                      output,
                      [](const OrvXDriver::Picture& shot) -> std::string {
                          int r, g, b;
                          shot.Pixel(560, 310, r, g, b);
                          return r > 200 && g > 150 && b < 80
                                     ? ""
                                     : "no start area: " + Colour(shot, 560, 310);
                      },
                      waitMs))
        << run.Errors();
    // Return reaches it through the compositor's keyboard; the show then fills the output.
    ASSERT_TRUE(x.Key(output, "Return"));
    EXPECT_EQ("", x.WaitForPicture(
                      output,
                      [](const OrvXDriver::Picture& shot) -> std::string {
                          std::string centre = Colour(shot, shot.width / 2, shot.height / 2);
                          return centre == "0,255,0" ? "" : "the centre is " + centre;
                      },
                      waitMs))
        << run.Errors();
    ASSERT_TRUE(x.Key(output, "Escape"));
    ASSERT_TRUE(run.Wait(waitMs)) << "Escape did not end the show";
    EXPECT_EQ(0, run.ExitCode());
}
