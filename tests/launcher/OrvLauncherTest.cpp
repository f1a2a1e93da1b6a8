// The real Run program against fixture libraries (tests/launcher/fixtures) that stand in for
// the engine only so far as the launcher's own behaviour needs: which entry points exist,
// what OrvRun returns and what the error channel says. Without a display the message box
// is standard error alone, which is what these tests read.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {
const std::string fullFixture = std::string(ORV_FAKE_ENGINE_DIR) + "/libOrvFakeEngineFull.so";
const std::string partialFixture = std::string(ORV_FAKE_ENGINE_DIR) + "/libOrvFakeEnginePartial.so";
const int waitMs = 20000;

using Variables = std::vector<std::pair<std::string, std::string>>;

void InstallLibrary(const OrvTestFolder& folder, const std::string& fixture) {
    std::string bytes = OrvReadFile(fixture);
    ASSERT_FALSE(bytes.empty()) << fixture;
    std::string target = folder.BinPath("libOrvEngine.so");
    FILE* out = std::fopen(target.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Runs Run with these arguments in `directory` without a display and waits for it.
struct LauncherRun {
    LauncherRun(const std::string& directory, const Variables& variables,
                const std::vector<std::string>& arguments = {})
        : child(OrvCopyLauncher(directory), directory, variables, {"DISPLAY"}, arguments) {
        finished = child.Wait(waitMs);
    }
    OrvChildProcess child;
    bool finished;
};
} // namespace

TEST(OrvLauncher, MissingLibraryIsReportedWithExitCodeOne) {
    OrvTestFolder folder;
    // A show folder whose bin/ holds no library...
    LauncherRun emptyBin(folder.Root(), {});
    ASSERT_TRUE(emptyBin.finished);
    EXPECT_TRUE(emptyBin.child.Exited());
    EXPECT_EQ(1, emptyBin.child.ExitCode());
    EXPECT_EQ("Critical error: Could not load bin/libOrvEngine.so\n", emptyBin.child.Errors());
    EXPECT_EQ("", emptyBin.child.Output());

    // ...and a folder with no bin/ at all (its data/, here), which goes unreported as such.
    LauncherRun noBin(folder.DataPath(""), {});
    ASSERT_TRUE(noBin.finished);
    EXPECT_EQ(1, noBin.child.ExitCode());
    EXPECT_EQ("Critical error: Could not load bin/libOrvEngine.so\n", noBin.child.Errors());

    // A file that is no library at all fails the same way.
    folder.WriteData("../bin/libOrvEngine.so", "not a shared library");
    LauncherRun garbage(folder.Root(), {});
    ASSERT_TRUE(garbage.finished);
    EXPECT_EQ(1, garbage.child.ExitCode());
    EXPECT_EQ("Critical error: Could not load bin/libOrvEngine.so\n", garbage.child.Errors());
}

TEST(OrvLauncher, LibraryWithoutEveryEntryPointIsRejectedBeforeRunning) {
    OrvTestFolder folder;
    InstallLibrary(folder, partialFixture);
    LauncherRun run(folder.Root(), {});
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.child.Exited());
    EXPECT_EQ(1, run.child.ExitCode());
    EXPECT_EQ("Critical error: libOrvEngine.so is invalid or old version\n", run.child.Errors());
    EXPECT_FALSE(FileExists(folder.BinPath("orvrun-called.txt"))) << "OrvRun must not be called";
}

TEST(OrvLauncher, RunsInBinWithDebugOffAndPassesTheResultOn) {
    OrvTestFolder folder;
    InstallLibrary(folder, fullFixture);

    LauncherRun normal(folder.Root(), {{"ORV_FAKE_RESULT", "0"}});
    ASSERT_TRUE(normal.finished);
    EXPECT_TRUE(normal.child.Exited());
    EXPECT_EQ(0, normal.child.ExitCode());
    EXPECT_EQ("", normal.child.Errors());
    // The marker lands in bin/, beside the library whose OrvRun ran, with the debug flag off;
    // the launcher left the working directory where it was started.
    EXPECT_EQ("debug=0\ncwd=" + folder.Root() + "\n",
              OrvReadFile(folder.BinPath("orvrun-called.txt")));

    LauncherRun failed(folder.Root(), {{"ORV_FAKE_RESULT", "7"}});
    ASSERT_TRUE(failed.finished);
    EXPECT_EQ(7, failed.child.ExitCode());
    EXPECT_EQ("", failed.child.Errors()) << "no error logged, no message";

    // Started by its full path from another folder (here /, which has no bin/ of its own
    // with a library), the launcher runs the show it lies beside, from / still.
    std::remove(folder.BinPath("orvrun-called.txt").c_str());
    OrvChildProcess elsewhere(folder.Root() + "/Run", "/", {{"ORV_FAKE_RESULT", "0"}}, {"DISPLAY"});
    ASSERT_TRUE(elsewhere.Wait(waitMs));
    EXPECT_EQ(0, elsewhere.ExitCode());
    EXPECT_EQ("", elsewhere.Errors());
    EXPECT_EQ("debug=0\ncwd=/\n", OrvReadFile(folder.BinPath("orvrun-called.txt")));

    // "--debug" passes the debug flag on.
    std::remove(folder.BinPath("orvrun-called.txt").c_str());
    OrvChildProcess debug(folder.Root() + "/Run", folder.Root(), {{"ORV_FAKE_RESULT", "0"}},
                          {"DISPLAY"}, {"--debug"});
    ASSERT_TRUE(debug.Wait(waitMs));
    EXPECT_EQ(0, debug.ExitCode());
    EXPECT_EQ("debug=1\ncwd=" + folder.Root() + "\n",
              OrvReadFile(folder.BinPath("orvrun-called.txt")));
}

TEST(OrvLauncher, LoggedErrorIsShownWithCaptionErrorWhateverTheResult) {
    OrvTestFolder folder;
    InstallLibrary(folder, fullFixture);
    const std::string log = "Could not open ../data/script.txt\nCould not load a script file\n";

    LauncherRun failed(
        folder.Root(),
        {{"ORV_FAKE_RESULT", "1"}, {"ORV_FAKE_HAS_ERROR", "1"}, {"ORV_FAKE_ERROR_TEXT", log}});
    ASSERT_TRUE(failed.finished);
    EXPECT_EQ(1, failed.child.ExitCode());
    EXPECT_EQ("Error: " + log, failed.child.Errors());

    // A run that completed but logged an error (a shader that did not link) still reports.
    LauncherRun completed(folder.Root(), {{"ORV_FAKE_RESULT", "0"},
                                          {"ORV_FAKE_HAS_ERROR", "1"},
                                          {"ORV_FAKE_ERROR_TEXT", "Link failed"}});
    ASSERT_TRUE(completed.finished);
    EXPECT_EQ(0, completed.child.ExitCode());
    EXPECT_EQ("Error: Link failed\n", completed.child.Errors());

    // Only the low byte of OrvHasError's answer counts.
    LauncherRun highBits(folder.Root(), {{"ORV_FAKE_RESULT", "0"},
                                         {"ORV_FAKE_HAS_ERROR", "256"},
                                         {"ORV_FAKE_ERROR_TEXT", "unseen"}});
    ASSERT_TRUE(highBits.finished);
    EXPECT_EQ(0, highBits.child.ExitCode());
    EXPECT_EQ("", highBits.child.Errors());
}

TEST(OrvLauncher, CheckCallsOrvCheckInBinAndNothingElse) {
    OrvTestFolder folder;
    InstallLibrary(folder, fullFixture);
    for (int result : {0, 1}) {
        LauncherRun check(folder.Root(),
                          {{"ORV_FAKE_CHECK_RESULT", std::to_string(result)},
                           {"ORV_FAKE_HAS_ERROR", "1"},
                           {"ORV_FAKE_ERROR_TEXT", "never shown"}},
                          {"--check"});
        ASSERT_TRUE(check.finished);
        EXPECT_TRUE(check.child.Exited());
        EXPECT_EQ(result, check.child.ExitCode());
        EXPECT_EQ("checked in bin from " + folder.Root() + "\n", check.child.Output());
        EXPECT_EQ("", check.child.Errors()) << "a check shows no message box";
    }
    EXPECT_FALSE(FileExists(folder.BinPath("orvrun-called.txt"))) << "OrvRun must not be called";

    // An option given twice is still that option.
    LauncherRun twice(folder.Root(), {}, {"--check", "--check"});
    ASSERT_TRUE(twice.finished);
    EXPECT_EQ("checked in bin from " + folder.Root() + "\n", twice.child.Output());

    // Without OrvCheck, or without a library, the check says so on standard error only.
    OrvTestFolder old;
    InstallLibrary(old, partialFixture);
    LauncherRun oldCheck(old.Root(), {}, {"--check"});
    ASSERT_TRUE(oldCheck.finished);
    EXPECT_EQ(1, oldCheck.child.ExitCode());
    EXPECT_EQ("Critical error: libOrvEngine.so is invalid or old version\n",
              oldCheck.child.Errors());
    EXPECT_EQ("", oldCheck.child.Output());
    EXPECT_FALSE(FileExists(old.BinPath("orvrun-called.txt")));
    OrvTestFolder empty;
    LauncherRun noLibrary(empty.Root(), {}, {"--check"});
    ASSERT_TRUE(noLibrary.finished);
    EXPECT_EQ(1, noLibrary.child.ExitCode());
    EXPECT_EQ("Critical error: Could not load bin/libOrvEngine.so\n", noLibrary.child.Errors());
}

TEST(OrvLauncher, UnknownOptionsGetTheUsageLineAndNothingRuns) {
    OrvTestFolder folder;
    InstallLibrary(folder, fullFixture);
    const std::vector<std::vector<std::string>> wrong = {
        {"--chek"}, {"check"}, {"--check", "-x"}, {""}, {"--CHECK"}};
    for (const std::vector<std::string>& arguments : wrong) {
        LauncherRun run(folder.Root(), {{"ORV_FAKE_CHECK_RESULT", "0"}}, arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(1, run.child.ExitCode()) << arguments.back();
        EXPECT_EQ("Unknown option: " + arguments.back() +
                      "\nUsage: Run [--debug] [--sync HOST:PORT] | --check\n",
                  run.child.Errors());
        EXPECT_EQ("", run.child.Output());
    }
    EXPECT_FALSE(FileExists(folder.BinPath("orvrun-called.txt")));
}
