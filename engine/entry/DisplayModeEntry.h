#ifndef ORV_ENTRY_DISPLAYMODEENTRY_H
#define ORV_ENTRY_DISPLAYMODEENTRY_H

// One choice on the display-mode screen: two numbers and the text shown for them.
// What the numbers mean depends on the list the entry sits in:
//   modes:        first = 1 for full screen, 0 for windowed; second unused (0);
//   aspect ratio: first / second is the monitor's ratio (16, 9 for "16:9");
//   resolution:   first = width, second = height in pixels.
// A plain value; copies own their label.

#include <string>

struct DisplayModeEntry {
    int first = 0;
    int second = 0;
    std::string label;
};

#endif
