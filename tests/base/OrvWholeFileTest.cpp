// The engine's bounded whole-file read, and the messages the readers built on it give for a
// file they cannot take in.

#include "base/OrvWholeFile.h"

#include "base/OrvException.h"
#include "scene/Orv3dsFileCheck.h"
#include "scene/Orv3dsFileReader.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

TEST(OrvWholeFile, ReadsRegularFilesUpToTheLimitAndNothingElse) {
    OrvTestFolder folder;
    std::string bytes = "stale";
    std::uint64_t size = 99;
    const std::string content("a\0b\xff", 4);
    const std::string path = folder.WriteData("four.bin", content);

    EXPECT_EQ(OrvWholeFile::Read, OrvWholeFile::Load(path, 4, bytes, size));
    EXPECT_EQ(content, bytes);
    EXPECT_EQ(4u, size);

    // One byte over the limit: refused with its length, nothing read.
    EXPECT_EQ(OrvWholeFile::TooLarge, OrvWholeFile::Load(path, 3, bytes, size));
    EXPECT_EQ("", bytes);
    EXPECT_EQ(4u, size);

    EXPECT_EQ(OrvWholeFile::Read,
              OrvWholeFile::Load(folder.WriteData("empty.bin", ""), 0, bytes, size));
    EXPECT_EQ("", bytes);
    EXPECT_EQ(0u, size);

    EXPECT_EQ(OrvWholeFile::Unreadable,
              OrvWholeFile::Load(folder.DataPath("missing.bin"), 100, bytes, size));
    EXPECT_EQ(OrvWholeFile::Unreadable,
              OrvWholeFile::Load(folder.DataPath(""), 1u << 30, bytes, size));
    EXPECT_EQ(OrvWholeFile::Unreadable, OrvWholeFile::Load("/dev/zero", 1u << 30, bytes, size));
    EXPECT_EQ("", bytes);
}

TEST(OrvWholeFile, AModelLargerThanTheLimitIsRefusedUnreadWithItsLength) {
    OrvTestFolder folder;
    // Sparse: no disk is used, and the reader must not read it either.
    const std::string path = folder.WriteData("huge.3ds", "");
    ASSERT_EQ(0, truncate(path.c_str(), off_t(Orv3dsFileCheck::MaxFileBytes) + 1));
    std::string message = "(nothing raised)";
    try {
        Orv3dsFileReader::ReadFile(path);
    } catch (const OrvException& error) {
        message = error.Message();
    }
    EXPECT_EQ("Unable to load .3ds file: " + path + ": the file is 268435457 bytes long, more " +
                  "than the 268435456 bytes a model may have",
              message);
}
