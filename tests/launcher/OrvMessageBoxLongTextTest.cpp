// A message box whose text is far taller and wider than the screen: the dialog shows what
// fits (wrapped, and cut with a line saying how much more there is), standard error gets
// all of it, and Return still closes the dialog.

#include "OrvMessageBox.h"
#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string fullFixture = std::string(ORV_FAKE_ENGINE_DIR) + "/libOrvFakeEngineFull.so";
const int waitMs = 10000;

std::vector<std::string> Rows(const std::string& text) {
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(text.substr(start, end - start));
    rows.push_back(text.substr(start));
    return rows;
}
} // namespace

TEST(OrvMessageBox, TheDialogWrapsLongLinesAndCutsWhatNoScreenHolds) {
    const int columns = OrvMessageBox::WrapColumns;
    struct Case {
        std::string text;
        std::vector<std::string> rows;
    };
    const std::string word(columns + 5, 'x');
    const Case cases[] = {
        {"short\nlines\n", {"short", "lines"}},
        // Wrapped after the last space that fits; a word wider than a row is cut.
        {std::string(columns - 3, 'a') + " bb cc", {std::string(columns - 3, 'a') + " bb", "cc"}},
        {word, {word.substr(0, columns), "xxxxx"}},
        {"\tindented", {"    indented"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rows, Rows(OrvMessageBox::DialogText(c.text))) << c.text;

    std::string many;
    for (int i = 1; i <= 100; ++i)
        many += "Error on line: " + std::to_string(i) + "\n";
    std::vector<std::string> shown = Rows(OrvMessageBox::DialogText(many));
    ASSERT_EQ(static_cast<size_t>(OrvMessageBox::MaxDialogLines), shown.size());
    EXPECT_EQ("Error on line: 1", shown.front());
    EXPECT_EQ("Error on line: 39", shown[shown.size() - 2]);
    EXPECT_EQ("... and 61 more lines (the whole text is on standard error)", shown.back());
}

TEST(OrvMessageBox, LongTextFitsTheScreenAndStandardErrorHasItAll) {
    OrvXDriver x;
    if (!x.Connected())
        GTEST_SKIP() << "no X display";
    OrvTestFolder folder;
    folder.WriteData("../bin/libOrvEngine.so", OrvReadFile(fullFixture));

    // 500 short numbered lines, then one line far wider than any screen.
    std::string text;
    for (int i = 1; i <= 500; ++i)
        text += "Error on line: " + std::to_string(i) + "\n";
    text += std::string(900, '#') + "\n";

    OrvChildProcess run(OrvCopyLauncher(folder.Root()), folder.Root(),
                        {{"ORV_FAKE_HAS_ERROR", "1"}, {"ORV_FAKE_ERROR_TEXT", text}}, {});
    unsigned long box = x.WaitForWindow(run.Pid(), waitMs);
    ASSERT_NE(0ul, box) << run.Errors();
    EXPECT_EQ("Error", x.Name(box));
    int width = 0, height = 0;
    ASSERT_TRUE(x.Size(box, width, height));
    EXPECT_LE(width, x.ScreenWidth());
    EXPECT_LE(height, x.ScreenHeight());

    ASSERT_TRUE(x.Key(box, "Return"));
    ASSERT_TRUE(run.Wait(waitMs)) << "Return did not close the box";
    EXPECT_EQ(0, run.ExitCode());
    EXPECT_EQ("Error: " + text, run.Errors());
}
