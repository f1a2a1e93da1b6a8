#ifndef ORV_ENTRY_ORVDISPLAYMODELIST_H
#define ORV_ENTRY_ORVDISPLAYMODELIST_H

// The rules that turn what the display offers into the display-mode screen's choices. Pure
// functions on plain values: no SDL, no display, no engine-wide state.
//
// Resolution list rules (BuildResolutions):
//   - the offered sizes are taken in the order given (SDL hands them out largest first);
//   - sizes narrower than 640 pixels are left out, and so is a size already in the list;
//   - the label is "<width> x <height>";
//   - the desktop's own size gets " (current)" and is never preselected;
//   - otherwise a size of the script's width and height gets " (recommended)" and is
//     preselected; until such an exact match is found, a size of the script's width whose
//     height is nearest to the script's height (strictly nearer than any before) is
//     preselected, without a mark;
//   - sizes of any other width never move the preselection, which otherwise stays on the
//     first (largest) entry.
//
// When the display gives no usable list (no list at all, "any size", or only narrow
// sizes), CommonSizes supplies one: the usual monitor sizes that fit the desktop, the
// desktop's size and the script's size (when it fits the desktop), always 640 x 480,
// largest first. That list is never empty, so the screen always has a selected resolution.

#include "entry/DisplayModeEntry.h"

#include <deque>
#include <vector>

class OrvDisplayModeList {
public:
    struct Size {
        int width;
        int height;
    };

    // The narrowest size offered at all.
    static constexpr int MinimumWidth = 640;

    // Clears `resolutions`, fills it from `offered` by the rules above and returns the
    // position to preselect (0 when nothing matches or the list is empty).
    static int BuildResolutions(const std::vector<Size>& offered, Size desktop, Size script,
                                std::deque<DisplayModeEntry>& resolutions);

    // The list used when the display offers none; see above. A desktop of unknown size
    // (0 or less) limits nothing.
    static std::vector<Size> CommonSizes(Size desktop, Size script);

    // Index into the aspect-ratio list ("4:3", "5:4", "16:9", "16:10") that matches the
    // desktop: ten times width over height in whole numbers, 16 -> "16:10", 12 -> "5:4",
    // 17 -> "16:9", anything else (an unknown height included) -> "4:3".
    static int AspectIndexForDesktop(Size desktop);

    // One cyclic step of `delta` (+1 or -1) from `index` in a list of `count` entries: past
    // the last entry to 0, below 0 to the last. An empty list gives 0.
    static int Step(int index, int count, int delta);
};

#endif
