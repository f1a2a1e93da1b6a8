// The launcher's message box as a real dialog on the test's X display: it appears with its
// caption, waits, and closes on Return, Escape, the OK button or the close button. Run is
// started against fixture libraries (see OrvLauncherTest.cpp) or none at all.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <time.h>

namespace {
const std::string fullFixture = std::string(ORV_FAKE_ENGINE_DIR) + "/libOrvFakeEngineFull.so";
const int waitMs = 10000;

#define ORV_SKIP_WITHOUT_X(driver)                                                                 \
    if (!(driver).Connected())                                                                     \
    GTEST_SKIP() << "no X display"

void SleepMs(int ms) {
    timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

std::unique_ptr<OrvChildProcess>
StartRun(const OrvTestFolder& folder,
         const std::vector<std::pair<std::string, std::string>>& variables = {}) {
    return std::make_unique<OrvChildProcess>(OrvCopyLauncher(folder.Root()), folder.Root(),
                                             variables, std::vector<std::string>());
}

void InstallFullFixture(const OrvTestFolder& folder) {
    std::string bytes = OrvReadFile(fullFixture);
    ASSERT_FALSE(bytes.empty());
    folder.WriteData("../bin/libOrvEngine.so", bytes);
}
} // namespace

TEST(OrvLauncherDialog, CriticalErrorWaitsForTheUserAndClosesOnReturnOrEscape) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder; // no library in bin/

    for (const char* key : {"Return", "Escape"}) {
        auto run = StartRun(folder);
        unsigned long window = x.WaitForWindow(run->Pid(), waitMs);
        ASSERT_NE(0ul, window) << key;
        EXPECT_EQ("Critical error", x.Name(window));

        // Other keys and clicks beside the button leave it open.
        ASSERT_TRUE(x.Key(window, "a"));
        x.Click(window, 2, 2, 1);
        SleepMs(300);
        EXPECT_TRUE(run->Running()) << "the box closed by itself";

        ASSERT_TRUE(x.Key(window, key));
        ASSERT_TRUE(run->Wait(waitMs)) << key << " did not close the box";
        EXPECT_TRUE(run->Exited());
        EXPECT_EQ(1, run->ExitCode());
        EXPECT_EQ("Critical error: Could not load bin/libOrvEngine.so\n", run->Errors());
    }
}

TEST(OrvLauncherDialog, ErrorBoxShowsEveryLineAndClosesOnOkOrTheCloseButton) {
    OrvXDriver x;
    ORV_SKIP_WITHOUT_X(x);
    OrvTestFolder folder;
    InstallFullFixture(folder);

    std::string oneLine = "Could not load a script file\n";
    std::string manyLines;
    for (int i = 0; i < 12; ++i)
        manyLines += "Unable to load .3ds file: ../data/model" + std::to_string(i) + ".3ds\n";

    auto shortRun = StartRun(
        folder,
        {{"ORV_FAKE_RESULT", "1"}, {"ORV_FAKE_HAS_ERROR", "1"}, {"ORV_FAKE_ERROR_TEXT", oneLine}});
    unsigned long shortBox = x.WaitForWindow(shortRun->Pid(), waitMs);
    ASSERT_NE(0ul, shortBox);
    EXPECT_EQ("Error", x.Name(shortBox));
    int shortWidth = 0, shortHeight = 0;
    ASSERT_TRUE(x.Size(shortBox, shortWidth, shortHeight));

    auto longRun = StartRun(folder, {{"ORV_FAKE_RESULT", "0"},
                                     {"ORV_FAKE_HAS_ERROR", "1"},
                                     {"ORV_FAKE_ERROR_TEXT", manyLines}});
    unsigned long longBox = x.WaitForWindow(longRun->Pid(), waitMs);
    ASSERT_NE(0ul, longBox);
    int longWidth = 0, longHeight = 0;
    ASSERT_TRUE(x.Size(longBox, longWidth, longHeight));
    EXPECT_GT(longHeight, shortHeight + 11 * 10) << "room for twelve lines";
    EXPECT_GT(longWidth, shortWidth) << "room for the longer lines";

    // Text in black on white: one band of dark rows per line, above the button.
    auto problem = [&](const OrvXDriver::Picture& shot) -> std::string {
        int r, g, b;
        shot.Pixel(5, 5, r, g, b);
        if (r + g + b <= 3 * 230)
            return "no white background";
        int bands = 0;
        bool inBand = false;
        for (int y = 0; y < longHeight - 50; ++y) {
            bool dark = false;
            for (int px = 10; px < longWidth - 10 && !dark; ++px) {
                shot.Pixel(px, y, r, g, b);
                dark = r >= 0 && r < 80 && g < 80 && b < 80;
            }
            if (dark && !inBand)
                ++bands;
            inBand = dark;
        }
        return bands == 12 ? "" : std::to_string(bands) + " lines of text instead of 12";
    };
    EXPECT_EQ("", x.WaitForPicture(longBox, problem, waitMs));

    // OK sits centred below the text: the grey of its face, found up the middle column.
    int okY = -1;
    EXPECT_EQ("", x.WaitForPicture(
                      shortBox,
                      [&](const OrvXDriver::Picture& shot) -> std::string {
                          for (int y = shortHeight - 1; y >= 0 && okY < 0; --y) {
                              int r, g, b;
                              shot.Pixel(shortWidth / 2, y, r, g, b);
                              if (r == 224 && g == 224 && b == 224)
                                  okY = y - 3;
                          }
                          return okY >= 0 ? "" : "no OK button";
                      },
                      waitMs));
    x.Click(shortBox, shortWidth / 2, okY, 1);
    ASSERT_TRUE(shortRun->Wait(waitMs)) << "OK did not close the box";
    EXPECT_EQ(1, shortRun->ExitCode());
    EXPECT_EQ("Error: " + oneLine, shortRun->Errors());

    x.Close(longBox);
    ASSERT_TRUE(longRun->Wait(waitMs)) << "the close button did not close the box";
    EXPECT_EQ(0, longRun->ExitCode());
    EXPECT_EQ("Error: " + manyLines, longRun->Errors());
}
