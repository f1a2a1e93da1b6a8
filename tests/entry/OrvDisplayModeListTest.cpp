#include "entry/OrvDisplayModeList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Size = OrvDisplayModeList::Size;

std::vector<std::string> Labels(const std::deque<DisplayModeEntry>& entries) {
    std::vector<std::string> labels;
    for (const DisplayModeEntry& entry : entries)
        labels.push_back(entry.label);
    return labels;
}

std::vector<std::string> SizeTexts(const std::vector<Size>& sizes) {
    std::vector<std::string> texts;
    for (const Size& size : sizes)
        texts.push_back(std::to_string(size.width) + "x" + std::to_string(size.height));
    return texts;
}
} // namespace

TEST(OrvDisplayModeList, MarksCurrentAndRecommendedAndLeavesOutNarrowModes) {
    std::deque<DisplayModeEntry> list;
    int selected = OrvDisplayModeList::BuildResolutions(
        {{1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}}, {1280, 1024}, {1024, 768},
        list);

    EXPECT_EQ(std::vector<std::string>(
                  {"1280 x 1024 (current)", "1024 x 768 (recommended)", "800 x 600", "640 x 480"}),
              Labels(list));
    EXPECT_EQ(1, selected);
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ(1024, list[1].first);
    EXPECT_EQ(768, list[1].second);
    EXPECT_EQ(640, list[3].first);
    EXPECT_EQ(480, list[3].second);
}

TEST(OrvDisplayModeList, NearestHeightOfTheScriptWidthIsPreselectedWithoutMark) {
    std::deque<DisplayModeEntry> list;
    int selected = OrvDisplayModeList::BuildResolutions({{1024, 768}, {1024, 600}}, {1920, 1080},
                                                        {1024, 700}, list);
    EXPECT_EQ(std::vector<std::string>({"1024 x 768", "1024 x 600"}), Labels(list));
    EXPECT_EQ(0, selected);

    // Strictly nearer wins, so a later mode with the same difference does not.
    selected = OrvDisplayModeList::BuildResolutions({{1024, 768}, {1024, 632}, {1024, 600}},
                                                    {1920, 1080}, {1024, 700}, list);
    EXPECT_EQ(0, selected);
    selected = OrvDisplayModeList::BuildResolutions({{1024, 800}, {1024, 768}, {1024, 600}},
                                                    {1920, 1080}, {1024, 700}, list);
    EXPECT_EQ(1, selected);
}

TEST(OrvDisplayModeList, ExactMatchBeatsNearOnesBeforeAndAfterIt) {
    std::deque<DisplayModeEntry> list;
    int selected = OrvDisplayModeList::BuildResolutions(
        {{1280, 1024}, {1280, 960}, {1280, 800}, {1280, 720}}, {1920, 1200}, {1280, 800}, list);
    EXPECT_EQ(2, selected);
    EXPECT_EQ(std::vector<std::string>(
                  {"1280 x 1024", "1280 x 960", "1280 x 800 (recommended)", "1280 x 720"}),
              Labels(list));
}

TEST(OrvDisplayModeList, DesktopSizedScriptIsOnlyMarkedCurrent) {
    std::deque<DisplayModeEntry> list;
    // Another mode of the same width is then chosen by height...
    int selected = OrvDisplayModeList::BuildResolutions({{1280, 1024}, {1280, 960}, {1024, 768}},
                                                        {1280, 1024}, {1280, 1024}, list);
    EXPECT_EQ(std::vector<std::string>({"1280 x 1024 (current)", "1280 x 960", "1024 x 768"}),
              Labels(list));
    EXPECT_EQ(1, selected);

    // ...or, with none, the first entry stays selected.
    selected = OrvDisplayModeList::BuildResolutions({{1920, 1080}, {1280, 1024}, {1024, 768}},
                                                    {1280, 1024}, {1280, 1024}, list);
    EXPECT_EQ(0, selected);
    EXPECT_EQ("1280 x 1024 (current)", list[1].label);
}

TEST(OrvDisplayModeList, ScriptWithoutSizeRecommendsNothing) {
    std::deque<DisplayModeEntry> list;
    int selected = OrvDisplayModeList::BuildResolutions({{1600, 1200}, {1024, 768}, {800, 600}},
                                                        {1280, 1024}, {0, 0}, list);
    EXPECT_EQ(0, selected);
    EXPECT_EQ(std::vector<std::string>({"1600 x 1200", "1024 x 768", "800 x 600"}), Labels(list));

    // A script that could not be read at all reports -1 for both.
    selected = OrvDisplayModeList::BuildResolutions({{1600, 1200}, {1024, 768}}, {1280, 1024},
                                                    {-1, -1}, list);
    EXPECT_EQ(0, selected);
}

TEST(OrvDisplayModeList, RebuildingReplacesTheListAndRepeatsAreLeftOut) {
    std::deque<DisplayModeEntry> list;
    OrvDisplayModeList::BuildResolutions({{1920, 1080}, {1600, 900}}, {1920, 1080}, {0, 0}, list);
    int selected = OrvDisplayModeList::BuildResolutions(
        {{1024, 768}, {1024, 768}, {800, 600}, {800, 600}}, {1920, 1080}, {800, 600}, list);
    EXPECT_EQ(std::vector<std::string>({"1024 x 768", "800 x 600 (recommended)"}), Labels(list));
    EXPECT_EQ(1, selected);
}

TEST(OrvDisplayModeList, OnlyNarrowModesGiveAnEmptyList) {
    std::deque<DisplayModeEntry> list;
    int selected =
        OrvDisplayModeList::BuildResolutions({{639, 480}, {320, 240}}, {639, 480}, {0, 0}, list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0, selected);
}

TEST(OrvDisplayModeList, CommonSizesFitTheDesktopAndIncludeDesktopAndScript) {
    EXPECT_EQ(std::vector<std::string>({"1280x1024", "1280x960", "1280x800", "1280x720", "1152x864",
                                        "1100x700", "1024x768", "800x600", "640x480"}),
              SizeTexts(OrvDisplayModeList::CommonSizes({1280, 1024}, {1100, 700})));

    // An unusual desktop is offered itself; a script larger than the desktop is not.
    EXPECT_EQ(std::vector<std::string>({"1366x768", "1280x720", "1024x768", "800x600", "640x480"}),
              SizeTexts(OrvDisplayModeList::CommonSizes({1366, 768}, {1920, 1080})));

    // A tiny or unknown desktop still leaves 640 x 480; unknown limits nothing.
    EXPECT_EQ(std::vector<std::string>({"640x480"}),
              SizeTexts(OrvDisplayModeList::CommonSizes({320, 200}, {0, 0})));
    std::vector<Size> unlimited = OrvDisplayModeList::CommonSizes({0, 0}, {5000, 3000});
    ASSERT_FALSE(unlimited.empty());
    EXPECT_EQ(5000, unlimited.front().width);
    EXPECT_EQ(640, unlimited.back().width);
}

TEST(OrvDisplayModeList, CommonSizesGoThroughTheSameMarking) {
    std::deque<DisplayModeEntry> list;
    int selected = OrvDisplayModeList::BuildResolutions(
        OrvDisplayModeList::CommonSizes({1680, 1050}, {1024, 768}), {1680, 1050}, {1024, 768},
        list);
    ASSERT_GT(list.size(), 3u);
    EXPECT_EQ("1680 x 1050 (current)", list.front().label);
    EXPECT_EQ("1024 x 768 (recommended)", list[selected].label);
    EXPECT_EQ("640 x 480", list.back().label);
}

TEST(OrvDisplayModeList, AspectRatioFollowsTheDesktop) {
    EXPECT_EQ(3, OrvDisplayModeList::AspectIndexForDesktop({1680, 1050})); // 16:10
    EXPECT_EQ(1, OrvDisplayModeList::AspectIndexForDesktop({1280, 1024})); // 5:4
    EXPECT_EQ(2, OrvDisplayModeList::AspectIndexForDesktop({1920, 1080})); // 16:9
    EXPECT_EQ(2, OrvDisplayModeList::AspectIndexForDesktop({1366, 768}));  // 17.7 -> 17
    EXPECT_EQ(0, OrvDisplayModeList::AspectIndexForDesktop({1024, 768}));  // 4:3
    EXPECT_EQ(0, OrvDisplayModeList::AspectIndexForDesktop({2560, 1080})); // 23: none of them
    EXPECT_EQ(0, OrvDisplayModeList::AspectIndexForDesktop({1024, 0}));    // unknown height
}

TEST(OrvDisplayModeList, StepsWrapAroundBothEnds) {
    EXPECT_EQ(1, OrvDisplayModeList::Step(0, 2, -1));
    EXPECT_EQ(0, OrvDisplayModeList::Step(1, 2, +1));
    EXPECT_EQ(2, OrvDisplayModeList::Step(1, 4, +1));
    EXPECT_EQ(3, OrvDisplayModeList::Step(0, 4, -1));
    EXPECT_EQ(0, OrvDisplayModeList::Step(0, 1, +1));
    EXPECT_EQ(0, OrvDisplayModeList::Step(0, 1, -1));
    EXPECT_EQ(0, OrvDisplayModeList::Step(0, 0, +1));
}
