#include "entry/OrvDisplaySettings.h"

OrvDisplaySettings::OrvDisplaySettings()
    : modeIndex(0), aspectIndex(0), resolutionIndex(0), scriptWidth(0),
      scriptHeight(0), desktop{0, 0} {}

void OrvDisplaySettings::SetScriptSize(int width, int height) {
    scriptWidth = width;
    scriptHeight = height;
}

void OrvDisplaySettings::SetVersionText(const std::string& text) {
    versionText = text;
}

void OrvDisplaySettings::Prepare(bool debug, OrvDisplayModeList::Size desktopSize,
                                 const std::vector<OrvDisplayModeList::Size>& offered) {
    desktop = desktopSize;

    modes.clear();
    modes.push_back(DisplayModeEntry{1, 0, "Full screen"});
    modes.push_back(DisplayModeEntry{0, 0, "Windowed"});
    // Debugging happens next to a console, so the show opens in a window there.
    modeIndex = debug ? 1 : 0;

    aspectRatios.clear();
    aspectRatios.push_back(DisplayModeEntry{4, 3, "4:3"});
    aspectRatios.push_back(DisplayModeEntry{5, 4, "5:4"});
    aspectRatios.push_back(DisplayModeEntry{16, 9, "16:9"});
    aspectRatios.push_back(DisplayModeEntry{16, 10, "16:10"});

    OrvDisplayModeList::Size script{scriptWidth, scriptHeight};
    resolutionIndex = OrvDisplayModeList::BuildResolutions(offered, desktop, script, resolutions);
    if (resolutions.empty()) {
        resolutionIndex = OrvDisplayModeList::BuildResolutions(
            OrvDisplayModeList::CommonSizes(desktop, script), desktop, script, resolutions);
    }

    aspectIndex = OrvDisplayModeList::AspectIndexForDesktop(desktop);
}

bool OrvDisplaySettings::Apply(const OrvDisplayModeInput::Action& action) {
    if (action.kind != OrvDisplayModeInput::Action::Step)
        return false;
    int* index = nullptr;
    int count = 0;
    switch (action.row) {
    case OrvDisplayModeInput::Row::Mode:
        index = &modeIndex;
        count = static_cast<int>(modes.size());
        break;
    case OrvDisplayModeInput::Row::Resolution:
        index = &resolutionIndex;
        count = static_cast<int>(resolutions.size());
        break;
    case OrvDisplayModeInput::Row::AspectRatio:
        index = &aspectIndex;
        count = static_cast<int>(aspectRatios.size());
        break;
    }
    int before = *index;
    *index = OrvDisplayModeList::Step(*index, count, action.delta);
    return *index != before;
}

std::string OrvDisplaySettings::LabelAt(const std::deque<DisplayModeEntry>& list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size()))
        return std::string();
    return list[index].label;
}

std::string OrvDisplaySettings::SelectedModeLabel() const {
    return LabelAt(modes, modeIndex);
}

std::string OrvDisplaySettings::SelectedResolutionLabel() const {
    return LabelAt(resolutions, resolutionIndex);
}

std::string OrvDisplaySettings::SelectedAspectLabel() const {
    return LabelAt(aspectRatios, aspectIndex);
}

int OrvDisplaySettings::ChosenWidth() const {
    if (resolutionIndex < 0 || resolutionIndex >= static_cast<int>(resolutions.size()))
        return 0;
    return resolutions[resolutionIndex].first;
}

int OrvDisplaySettings::ChosenHeight() const {
    if (resolutionIndex < 0 || resolutionIndex >= static_cast<int>(resolutions.size()))
        return 0;
    return resolutions[resolutionIndex].second;
}

double OrvDisplaySettings::ChosenAspectRatio() const {
    if (aspectIndex < 0 || aspectIndex >= static_cast<int>(aspectRatios.size()))
        return 4.0 / 3.0;
    const DisplayModeEntry& entry = aspectRatios[aspectIndex];
    return static_cast<double>(entry.first) / entry.second;
}

bool OrvDisplaySettings::ChosenFullScreen() const {
    if (modeIndex < 0 || modeIndex >= static_cast<int>(modes.size()))
        return true;
    return modes[modeIndex].first != 0;
}
