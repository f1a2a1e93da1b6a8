// Where the engine library was loaded from, as the dynamic loader noted it, and the files the
// engine brings along there: the display-mode screen's font.

#include "base/OrvOwnFolder.h"
#include "base/OrvFontFile.h"

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

TEST(OrvOwnFolder, LibraryIsTheEnginesBinFolderWhateverTheWorkingDirectory) {
    // This test program links the engine of the build's show folder.
    const std::string bin = Real(std::string(ORV_TEST_SHOW_DIR) + "/bin");
    std::string folder = OrvOwnFolder::Library();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('/', folder[0]);
    EXPECT_EQ(bin, Real(folder));

    char previous[PATH_MAX];
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir("/"));
    EXPECT_EQ(folder, OrvOwnFolder::Library());
    // The show's data folder is found beside it, from anywhere.
    EXPECT_EQ(folder + "/../data/", OrvOwnFolder::DataBesideBin(folder));
    ASSERT_EQ(0, chdir(previous));

    // The build puts the font beside the engine, and the screen takes that copy, not the
    // system's.
    EXPECT_EQ(folder + "/DejaVuSans.ttf", OrvFontFile::Find());
    EXPECT_NE(std::string(OrvFontFile::SystemPath), OrvFontFile::Find());
    EXPECT_EQ(0, access(OrvFontFile::Find().c_str(), R_OK));
}
