// Where the engine library was loaded from, as the dynamic loader noted it, and the files the
// engine brings along there: the display-mode screen's font.

#include "core/OrvLibraryFolder.h"
#include "entry/OrvDisplayModeScreen.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {
std::string Real(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : "<" + path + " not found>";
}
} // namespace

TEST(OrvLibraryFolder, IsTheEnginesBinFolderWhateverTheWorkingDirectory) {
    // This test program links the engine of the build's show folder.
    const std::string bin = Real(std::string(ORV_TEST_SHOW_DIR) + "/bin");
    std::string folder = OrvLibraryFolder::Path();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder[0]);
    EXPECT_EQ(bin, Real(folder));

    char previous[PATH_MAX];
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir("/"));
    EXPECT_EQ(folder, OrvLibraryFolder::Path());
    EXPECT_EQ(folder + "/script.txt", OrvLibraryFolder::File("script.txt"));
    ASSERT_EQ(0, chdir(previous));

    // The build puts the font beside the engine, and the screen takes that copy, not the
    // system's.
    EXPECT_EQ(folder + "/DejaVuSans.ttf", OrvDisplayModeScreen::FontFile());
    EXPECT_NE(std::string(OrvDisplayModeScreen::SystemFontFile), OrvDisplayModeScreen::FontFile());
    EXPECT_EQ(0, access(OrvDisplayModeScreen::FontFile().c_str(), R_OK));
}
