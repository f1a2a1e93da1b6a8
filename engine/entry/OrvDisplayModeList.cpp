#include "entry/OrvDisplayModeList.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
// Monitor sizes worth offering when the display names none.
const OrvDisplayModeList::Size commonSizes[] = {
    {640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},  {1280, 800},
    {1280, 960},  {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
    {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {2560, 1600}, {3840, 2160},
};

bool SameSize(const DisplayModeEntry& entry, int width, int height) {
    return entry.first == width && entry.second == height;
}

bool FitsDesktop(OrvDisplayModeList::Size size, OrvDisplayModeList::Size desktop) {
    bool desktopKnown = desktop.width > 0 && desktop.height > 0;
    return !desktopKnown || (size.width <= desktop.width && size.height <= desktop.height);
}
} // namespace

int OrvDisplayModeList::BuildResolutions(const std::vector<Size>& offered, Size desktop,
                                         Size script, std::deque<DisplayModeEntry>& resolutions) {
    resolutions.clear();
    int selected = 0;
    bool exactMatch = false;
    int smallestDifference = 10000000;
    for (const Size& mode : offered) {
        if (mode.width < MinimumWidth)
            continue;
        bool listed =
            std::any_of(resolutions.begin(), resolutions.end(), [&](const DisplayModeEntry& entry) {
                return SameSize(entry, mode.width, mode.height);
            });
        if (listed)
            continue;

        char label[64];
        std::snprintf(label, sizeof label, "%d x %d", mode.width, mode.height);
        resolutions.push_back(DisplayModeEntry{mode.width, mode.height, label});
        DisplayModeEntry& entry = resolutions.back();
        int position = static_cast<int>(resolutions.size()) - 1;

        // The desktop's size is only marked: full screen at the current size changes nothing
        // on the monitor, so it is no reason to prefer it.
        if (mode.width == desktop.width && mode.height == desktop.height) {
            entry.label += " (current)";
            continue;
        }
        if (mode.width != script.width)
            continue;
        if (mode.height == script.height) {
            selected = position;
            entry.label += " (recommended)";
            exactMatch = true;
        } else if (!exactMatch) {
            int difference = std::abs(mode.height - script.height);
            if (difference < smallestDifference) {
                selected = position;
                smallestDifference = difference;
            }
        }
    }
    return selected;
}

std::vector<OrvDisplayModeList::Size> OrvDisplayModeList::CommonSizes(Size desktop, Size script) {
    // 640 x 480 stays even on a smaller desktop, so there is always something to choose.
    std::vector<Size> sizes = {{MinimumWidth, 480}};
    for (const Size& size : commonSizes) {
        if (FitsDesktop(size, desktop))
            sizes.push_back(size);
    }
    if (desktop.width >= MinimumWidth && desktop.height > 0)
        sizes.push_back(desktop);
    if (script.width >= MinimumWidth && script.height > 0 && FitsDesktop(script, desktop))
        sizes.push_back(script);

    // Largest first, as the display itself would list them; then drop repeats.
    std::sort(sizes.begin(), sizes.end(), [](const Size& a, const Size& b) {
        return a.width != b.width ? a.width > b.width : a.height > b.height;
    });
    sizes.erase(std::unique(sizes.begin(), sizes.end(),
                            [](const Size& a, const Size& b) {
                                return a.width == b.width && a.height == b.height;
                            }),
                sizes.end());
    return sizes;
}

int OrvDisplayModeList::AspectIndexForDesktop(Size desktop) {
    if (desktop.height <= 0)
        return 0;
    int ratio = desktop.width * 10 / desktop.height;
    switch (ratio) {
    case 16:
        return 3; // 16:10
    case 12:
        return 1; // 5:4
    case 17:
        return 2; // 16:9
    default:
        return 0; // 4:3
    }
}

int OrvDisplayModeList::Step(int index, int count, int delta) {
    if (count <= 0)
        return 0;
    index += delta;
    if (index >= count)
        return 0;
    if (index < 0)
        return count - 1;
    return index;
}
