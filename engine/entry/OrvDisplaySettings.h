#ifndef ORV_ENTRY_ORVDISPLAYSETTINGS_H
#define ORV_ENTRY_ORVDISPLAYSETTINGS_H

// The settings of the display-mode screen: the three lists the user picks from
// (modes, resolutions, aspect ratios), the selected position in each, and what the screen is
// told before it shows (the script's own size, the version text). It starts empty, with every
// index 0.
//
// The entry point stores the script's size and the version text, the screen calls Prepare
// when it starts and Apply for each input action, and the entry point then reads the choice
// through the Chosen... accessors.
//
// Prepare rebuilds every list from scratch, so a second showing in the same process offers
// the same choices as the first, and the resolution list it builds is never empty; the
// Chosen... accessors still answer (0, 0, 4/3, full screen) while the lists are empty.
//
// Ownership: the entry point makes one per run and hands it to the screen. The references to
// lists and entries stay valid until the next Prepare.

#include "entry/DisplayModeEntry.h"
#include "entry/OrvDisplayModeInput.h"
#include "entry/OrvDisplayModeList.h"

#include <deque>
#include <string>
#include <vector>

class OrvDisplaySettings {
public:
    OrvDisplaySettings();

    void SetScriptSize(int width, int height);
    int ScriptWidth() const { return scriptWidth; }
    int ScriptHeight() const { return scriptHeight; }

    void SetVersionText(const std::string& text);
    const std::string& VersionText() const { return versionText; }

    // Fills the lists and preselects: "Full screen" (or "Windowed" when `debug`), the
    // resolution by the rules of OrvDisplayModeList (from `offered`, or from the common sizes
    // when `offered` has no size of usable width), and the aspect ratio of the desktop.
    void Prepare(bool debug, OrvDisplayModeList::Size desktop,
                 const std::vector<OrvDisplayModeList::Size>& offered);

    // Carries out a Step action (cyclic); true when it changed a selection, false for every
    // other action and for a step in a list of one entry.
    bool Apply(const OrvDisplayModeInput::Action& action);

    const std::deque<DisplayModeEntry>& Modes() const { return modes; }
    const std::deque<DisplayModeEntry>& Resolutions() const { return resolutions; }
    const std::deque<DisplayModeEntry>& AspectRatios() const { return aspectRatios; }
    int ModeIndex() const { return modeIndex; }
    int ResolutionIndex() const { return resolutionIndex; }
    int AspectIndex() const { return aspectIndex; }
    int DesktopWidth() const { return desktop.width; }
    int DesktopHeight() const { return desktop.height; }

    // The selected entry's label; empty while its list is empty.
    std::string SelectedModeLabel() const;
    std::string SelectedResolutionLabel() const;
    std::string SelectedAspectLabel() const;

    // The choice as the engine's video set-up takes it: the selected resolution's width and
    // height, the selected aspect entry's first number divided by its second, and full
    // screen when the selected mode entry's first number is not 0.
    int ChosenWidth() const;
    int ChosenHeight() const;
    double ChosenAspectRatio() const;
    bool ChosenFullScreen() const;

private:
    static std::string LabelAt(const std::deque<DisplayModeEntry>& list, int index);

    std::deque<DisplayModeEntry> modes;
    std::deque<DisplayModeEntry> aspectRatios;
    std::deque<DisplayModeEntry> resolutions;
    int modeIndex;
    int aspectIndex;
    int resolutionIndex;
    int scriptWidth;
    int scriptHeight;
    OrvDisplayModeList::Size desktop;
    std::string versionText;
};

#endif
