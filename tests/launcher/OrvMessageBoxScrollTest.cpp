// A message box whose text is far taller and wider than the screen fits on it, wraps, scrolls
// and closes on Return. Only black text on white is assumed of the font.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvXDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {
const std::string fullFixture = std::string(ORV_FAKE_ENGINE_DIR) + "/libOrvFakeEngineFull.so";
const int waitMs = 10000;

bool Dark(const OrvXDriver::Picture& shot, int x, int y) {
    int r, g, b;
    shot.Pixel(x, y, r, g, b);
    return r >= 0 && r < 80;
}

// The text area as seen: per pixel row above the button, the rightmost dark column left of
// the scroll bar (-1 for none); last, the first row of the thumb inside the bar's outline.
std::vector<int> Look(const OrvXDriver::Picture& shot) {
    std::vector<int> area;
    for (int y = 0; y < shot.height - 20 - 26 - 2; ++y) {
        area.push_back(-1);
        for (int x = 10; x < shot.width - 40; ++x)
            area.back() = Dark(shot, x, y) ? x : area.back();
    }
    int thumb = 22;
    while (thumb < shot.height && !Dark(shot, shot.width - 26, thumb))
        ++thumb;
    area.push_back(thumb);
    return area;
}

int WideRows(const std::vector<int>& area, int from) {
    return static_cast<int>(
        std::count_if(area.begin(), area.end() - 1, [from](int right) { return right > from; }));
}
} // namespace

TEST(OrvMessageBoxScroll, LongTextFitsWrapsScrollsAndStillClosesOnReturn) {
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
    ASSERT_NE(0ul, box);
    int width = 0, height = 0;
    ASSERT_TRUE(x.Size(box, width, height));
    EXPECT_LE(width, x.ScreenWidth() - 40);
    EXPECT_LE(height, x.ScreenHeight() - 40);

    // Waits until the text area shows what `fits` accepts.
    std::vector<int> top;
    auto waitFor = [&](const std::function<std::string(const std::vector<int>&)>& fits) {
        return x.WaitForPicture(
            box, [&](const OrvXDriver::Picture& shot) { return fits(Look(shot)); }, waitMs);
    };

    // At the top first, the thumb in the upper half of the bar.
    ASSERT_EQ("", waitFor([&](const std::vector<int>& area) {
                  top = area;
                  return area.back() < height / 2 ? "" : "the thumb is not at the top";
              }));

    // End: the long line's rows fill the text area's width, the thumb is in the lower half.
    ASSERT_TRUE(x.Key(box, "End"));
    EXPECT_EQ("", waitFor([&](const std::vector<int>& area) {
                  if (area.back() < height / 2 || area.back() >= height - 60)
                      return "the thumb is not at the bottom";
                  // 900 characters make three rows or more, each a few pixels tall.
                  return WideRows(area, width - 80) >= 3 * 5 ? "" : "the long line is not wrapped";
              }));

    // Home comes back to exactly the first picture; one wheel notch down leaves it, one up
    // returns to it.
    auto atTop = [&](const std::vector<int>& area) { return area == top ? "" : "not at the top"; };
    ASSERT_TRUE(x.Key(box, "Home"));
    EXPECT_EQ("", waitFor(atTop));
    x.Click(box, width / 2, height / 3, 5);
    EXPECT_EQ("", waitFor([&](const std::vector<int>& area) {
                  return area == top ? "the wheel did not scroll" : "";
              }));
    x.Click(box, width / 2, height / 3, 4);
    EXPECT_EQ("", waitFor(atTop));

    ASSERT_TRUE(x.KeyDown(box, "Return"));
    ASSERT_TRUE(run.Wait(waitMs)) << "Return did not close the box";
    EXPECT_EQ(0, run.ExitCode());
    EXPECT_EQ("Error: " + text, run.Errors());
}
