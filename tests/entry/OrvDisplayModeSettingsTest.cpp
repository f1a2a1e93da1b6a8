#include "entry/OrvDisplaySettings.h"

#include <gtest/gtest.h>

namespace {
using Action = OrvDisplayModeInput::Action;
using Row = OrvDisplayModeInput::Row;

Action StepOf(Row row, int delta) {
    Action action;
    action.kind = Action::Step;
    action.row = row;
    action.delta = delta;
    return action;
}

const std::vector<OrvDisplayModeList::Size> fourModes = {
    {1280, 1024}, {1024, 768}, {800, 600}, {640, 480}, {320, 240}};
} // namespace

TEST(OrvDisplayModeSettings, NewSettingsStartEmptyWithIndicesZero) {
    OrvDisplaySettings settings;
    EXPECT_TRUE(settings.Modes().empty());
    EXPECT_TRUE(settings.Resolutions().empty());
    EXPECT_TRUE(settings.AspectRatios().empty());
    EXPECT_EQ(0, settings.ModeIndex());
    EXPECT_EQ(0, settings.ResolutionIndex());
    EXPECT_EQ(0, settings.AspectIndex());
    EXPECT_EQ("", settings.VersionText());
    // Nothing to read yet, but reading is safe.
    EXPECT_EQ(0, settings.ChosenWidth());
    EXPECT_EQ("", settings.SelectedResolutionLabel());
    // Each run has settings of its own: preparing one leaves another untouched.
    OrvDisplaySettings other;
    other.SetVersionText("0.2");
    other.Prepare(false, {1280, 1024}, fourModes);
    EXPECT_FALSE(other.Modes().empty());
    EXPECT_TRUE(settings.Modes().empty());
    EXPECT_TRUE(settings.Resolutions().empty());
    EXPECT_EQ("", settings.VersionText());
}

TEST(OrvDisplayModeSettings, PrepareFillsTheListsAndPreselects) {
    OrvDisplaySettings settings;
    settings.SetScriptSize(1024, 768);
    settings.Prepare(false, {1280, 1024}, fourModes);

    ASSERT_EQ(2u, settings.Modes().size());
    EXPECT_EQ("Full screen", settings.Modes()[0].label);
    EXPECT_EQ(1, settings.Modes()[0].first);
    EXPECT_EQ("Windowed", settings.Modes()[1].label);
    EXPECT_EQ(0, settings.Modes()[1].first);
    ASSERT_EQ(4u, settings.AspectRatios().size());
    EXPECT_EQ("16:10", settings.AspectRatios()[3].label);
    EXPECT_EQ(16, settings.AspectRatios()[3].first);
    EXPECT_EQ(10, settings.AspectRatios()[3].second);
    EXPECT_EQ(4u, settings.Resolutions().size());

    EXPECT_EQ("Full screen", settings.SelectedModeLabel());
    EXPECT_EQ("1024 x 768 (recommended)", settings.SelectedResolutionLabel());
    EXPECT_EQ("5:4", settings.SelectedAspectLabel());
    EXPECT_EQ(1024, settings.ChosenWidth());
    EXPECT_EQ(768, settings.ChosenHeight());
    EXPECT_DOUBLE_EQ(5.0 / 4.0, settings.ChosenAspectRatio());
    EXPECT_TRUE(settings.ChosenFullScreen());
    EXPECT_EQ(1280, settings.DesktopWidth());
    EXPECT_EQ(1024, settings.DesktopHeight());
}

TEST(OrvDisplayModeSettings, DebugPreselectsWindowedAndWSwitchesToFullScreen) {
    OrvDisplaySettings settings;
    settings.Prepare(true, {1680, 1050}, fourModes);
    EXPECT_EQ("Windowed", settings.SelectedModeLabel());
    EXPECT_FALSE(settings.ChosenFullScreen());
    EXPECT_EQ("16:10", settings.SelectedAspectLabel());

    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::W)));
    EXPECT_EQ("Full screen", settings.SelectedModeLabel());
    EXPECT_TRUE(settings.ChosenFullScreen());
}

TEST(OrvDisplayModeSettings, ClicksAndKeysMoveTheSelectionsCyclically) {
    OrvDisplaySettings settings;
    settings.SetScriptSize(1024, 768);
    settings.Prepare(false, {1280, 1024}, fourModes);

    // Left click on the mode row: from "Full screen" back around to "Windowed".
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForClick(100, 275, 1)));
    EXPECT_EQ("Windowed", settings.SelectedModeLabel());
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForClick(100, 275, 3)));
    EXPECT_EQ("Full screen", settings.SelectedModeLabel());

    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForClick(200, 300, 1)));
    EXPECT_EQ("800 x 600", settings.SelectedResolutionLabel());
    EXPECT_EQ(800, settings.ChosenWidth());
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::R)));
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::R)));
    EXPECT_EQ("1280 x 1024 (current)", settings.SelectedResolutionLabel());

    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForClick(200, 335, 1)));
    EXPECT_EQ("16:9", settings.SelectedAspectLabel());
    EXPECT_DOUBLE_EQ(16.0 / 9.0, settings.ChosenAspectRatio());
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::A)));
    EXPECT_TRUE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::A)));
    EXPECT_EQ("4:3", settings.SelectedAspectLabel());
    EXPECT_DOUBLE_EQ(4.0 / 3.0, settings.ChosenAspectRatio());

    // Accept, cancel and clicks beside the rows change nothing.
    EXPECT_FALSE(settings.Apply(OrvDisplayModeInput::ForClick(400, 300, 1)));
    EXPECT_FALSE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::Return)));
    EXPECT_FALSE(settings.Apply(OrvDisplayModeInput::ForKey(OrvKey::Escape)));
    EXPECT_EQ(0, settings.ModeIndex());
    EXPECT_EQ(0, settings.ResolutionIndex());
    EXPECT_EQ(0, settings.AspectIndex());
}

TEST(OrvDisplayModeSettings, NoModeListFallsBackToCommonSizes) {
    OrvDisplaySettings settings;
    settings.SetScriptSize(800, 600);
    settings.Prepare(false, {1024, 768}, {});
    std::vector<std::string> labels;
    for (const DisplayModeEntry& entry : settings.Resolutions())
        labels.push_back(entry.label);
    EXPECT_EQ(
        std::vector<std::string>({"1024 x 768 (current)", "800 x 600 (recommended)", "640 x 480"}),
        labels);
    EXPECT_EQ(800, settings.ChosenWidth());
    EXPECT_EQ(600, settings.ChosenHeight());

    // A list with only narrow modes is no better than none.
    settings.Prepare(false, {1024, 768}, {{320, 240}});
    EXPECT_EQ(3u, settings.Resolutions().size());

    // A single-entry list steps onto itself, which is no change.
    settings.Prepare(false, {640, 480}, {{640, 480}});
    ASSERT_EQ(1u, settings.Resolutions().size());
    EXPECT_FALSE(settings.Apply(StepOf(Row::Resolution, +1)));
    EXPECT_EQ(640, settings.ChosenWidth());
}

TEST(OrvDisplayModeSettings, PreparingAgainStartsFromScratch) {
    OrvDisplaySettings settings;
    settings.SetScriptSize(1024, 768);
    settings.Prepare(true, {1280, 1024}, fourModes);
    settings.Apply(StepOf(Row::AspectRatio, +1));
    settings.Apply(StepOf(Row::Resolution, +1));

    settings.Prepare(false, {1920, 1080}, {{1920, 1080}, {1024, 768}});
    EXPECT_EQ(2u, settings.Modes().size());
    EXPECT_EQ(4u, settings.AspectRatios().size());
    EXPECT_EQ(2u, settings.Resolutions().size());
    EXPECT_EQ("Full screen", settings.SelectedModeLabel());
    EXPECT_EQ("1024 x 768 (recommended)", settings.SelectedResolutionLabel());
    EXPECT_EQ("16:9", settings.SelectedAspectLabel());
}
