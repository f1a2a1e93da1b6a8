// "Run --check" with the real engine on show folders: the bundled show checks clean, and
// each kind of mistake gets its "script.txt:LINE:" lines and exit code 1 (warnings alone 0).
// The check opens no window of its own; it needs an X display for its hidden context.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;
const int waitMs = 30000;

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && display[0] != '\0';
}

// A show folder with the built launcher and engine, the start-up pictures and the pictures
// and music of the bundled show; the script is what each test gives.
struct Show {
    OrvTestFolder folder;
    Show() {
        OrvCopyPath(showDir + "/Run", folder.Root() + "/Run");
        OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        for (const char* file : {"splash.jpg", "loading.jpg", "title.png", "music.ogg"})
            OrvCopyPath(showDir + "/data/" + file, folder.DataPath(file));
    }
    void Script(const std::string& text) const { folder.WriteData("script.txt", text); }
    // Every file of the bundled show's data folder.
    void BundledData() const {
        std::string command = "cp '" + showDir + "/data/'* '" + folder.DataPath("") + "'";
        ASSERT_EQ(0, std::system(command.c_str()));
    }
};

// Runs "Run --check" in the folder (with these variables removed) and waits for it.
struct CheckRun {
    OrvChildProcess child;
    bool finished;
    // Started in `workingDirectory` when one is given, in the show's folder otherwise.
    CheckRun(const std::string& folder, const std::vector<std::string>& unset = {},
             const std::string& workingDirectory = "")
        : child(folder + "/Run", workingDirectory.empty() ? folder : workingDirectory, {}, unset,
                {"--check"}) {
        finished = child.Wait(waitMs);
    }
};

// The line number of the first line of `text` that is exactly `line`; 0 when none is.
int LineOf(const std::string& text, const std::string& line) {
    int number = 1;
    for (size_t at = 0; at < text.size(); ++number) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (text.compare(at, end - at, line) == 0)
            return number;
        at = end + 1;
    }
    return 0;
}
} // namespace

TEST(OrvCheckEndToEnd, TheBundledShowChecksClean) {
    if (!HasDisplay())
        GTEST_SKIP() << "needs an X display";
    CheckRun run(showDir);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.child.Exited());
    EXPECT_EQ(0, run.child.ExitCode());
    EXPECT_EQ("", run.child.Output());
    EXPECT_EQ("", run.child.Errors());
}

TEST(OrvCheckEndToEnd, AMissingBraceIsNamedWhereItsBlockOpens) {
    if (!HasDisplay())
        GTEST_SKIP() << "needs an X display";
    // A show whose loop lost its "}": the script block's own "}" closes the loop, so the end
    // line runs in every round of it.
    const std::string script = "header {\n  bpm: 120\n  music: music.ogg\n}\n"
                               "objects {\n  box: image box.png\n}\n"
                               "renderLines {\n  screen {\n  }\n}\n"
                               "flash: who {\n  0 who.col.a = 1 to 0 in @0.1\n}\n"
                               "script {\n"
                               "    0 enable box\n"
                               "    @18 loop @0.1 24 times {\n"
                               "        0 call flash box\n"
                               "    @24 end\n"
                               "}\n";
    int loopLine = LineOf(script, "    @18 loop @0.1 24 times {");
    int endLine = LineOf(script, "    @24 end");
    ASSERT_GT(loopLine, 0);
    ASSERT_GT(endLine, loopLine);
    Show show;
    show.BundledData();
    show.folder.WriteData("box.png",
                          OrvMakePng(2, 2, 3, {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}));
    show.Script(script);

    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    const std::string& output = run.child.Output();
    std::string prefix = "script.txt:" + std::to_string(loopLine) + ": ";
    // Where the block opens comes first; the end line's complaint comes once, not per round.
    EXPECT_EQ(0u, output.find(prefix + "warning: block \"@18 loop @0.1 24 times\" is never "
                                       "closed\n"))
        << output;
    std::string endComplaint =
        "script.txt:" + std::to_string(endLine) + ": End position defined multiple times.\n";
    size_t first = output.find(endComplaint);
    EXPECT_NE(std::string::npos, first) << output;
    EXPECT_EQ(std::string::npos, output.find(endComplaint, first + 1)) << output;
    EXPECT_EQ("", run.child.Errors());
}

TEST(OrvCheckEndToEnd, EachKindOfMistakeGetsItsLine) {
    if (!HasDisplay())
        GTEST_SKIP() << "needs an X display";
    Show show;
    show.Script("header {\n"                    // 1
                "  music: tune.ogg\n"           // 2
                "  bpm: 120\n"                  // 3
                "}\n"                           // 4
                "objects {\n"                   // 5
                "  logo: image title.png\n"     // 6
                "  spare: image title.png\n"    // 7
                "  aside: image title.png\n"    // 8
                "  broken: image nothere.png\n" // 9
                "}\n"                           // 10
                "renderLines {\n"               // 11
                "  screen {\n"                  // 12
                "    objects: logo spare\n"     // 13
                "  }\n"                         // 14
                "}\n"                           // 15
                "script {\n"                    // 16
                "  0 enable logo aside\n"       // 17
                "  1 qq.x = 1\n"                // 18
                "  2 logo.col.a = 0 to 1\n"     // 19
                "  3 broken.zoom = 1\n"         // 20
                "}\n");                         // 21
    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    EXPECT_EQ("script.txt:2: warning: music file cannot be loaded: tune.ogg\n"
              "script.txt:7: warning: object \"spare\" is never enabled\n"
              "script.txt:8: warning: object \"aside\" is in no render line\n"
              "script.txt:9: Could not load image file: nothere.png\n"
              "script.txt:16: warning: no end command: the show never stops\n"
              "script.txt:18: Unknown parameter: qq.x\n"
              "script.txt:18: Error on line: 1 qq.x = 1\n"
              "script.txt:19: Syntax error\n"
              "script.txt:19: Error on line: 2 logo.col.a = 0 to 1\n",
              run.child.Output());
    EXPECT_EQ("", run.child.Errors());

    // Warnings alone: listed, and the check passes.
    show.Script("header {\n  music: music.ogg\n}\nobjects {\n  logo: image title.png\n}\n"
                "renderLines {\n  screen {\n  }\n}\nscript {\n  1 end\n}\n");
    CheckRun warned(show.folder.Root());
    ASSERT_TRUE(warned.finished);
    EXPECT_EQ(0, warned.child.ExitCode());
    EXPECT_EQ("script.txt:5: warning: object \"logo\" is never enabled\n", warned.child.Output());
    // The same from another working directory: the check reads the show beside Run.
    CheckRun elsewhere(show.folder.Root(), {}, "/");
    ASSERT_TRUE(elsewhere.finished);
    EXPECT_EQ(0, elsewhere.child.ExitCode()) << elsewhere.child.Errors();
    EXPECT_EQ("script.txt:5: warning: object \"logo\" is never enabled\n",
              elsewhere.child.Output());

    // Without the start-up pictures the show cannot start: errors under their own names.
    std::remove(show.folder.DataPath("splash.jpg").c_str());
    std::remove(show.folder.DataPath("loading.jpg").c_str());
    CheckRun pictures(show.folder.Root());
    ASSERT_TRUE(pictures.finished);
    EXPECT_EQ(1, pictures.child.ExitCode());
    const std::string& output = pictures.child.Output();
    EXPECT_EQ(0u, output.find("script.txt:5: warning: object \"logo\" is never enabled\n"
                              "splash.jpg: Unable to load graphics: ../data/splash.jpg: "))
        << output;
    const std::string last = "loading.jpg: Could not load image file: loading.jpg\n";
    ASSERT_GT(output.size(), last.size());
    EXPECT_EQ(last, output.substr(output.size() - last.size()));
}

TEST(OrvCheckEndToEnd, WithoutADisplayTheCheckSaysItCannotRun) {
    Show show;
    show.Script("header {\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n}\n");
    CheckRun run(show.folder.Root(), {"DISPLAY"});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    EXPECT_EQ("", run.child.Output());
    EXPECT_EQ("The show could not be checked: Could not open the X display (is DISPLAY set?)\n",
              run.child.Errors());
}
