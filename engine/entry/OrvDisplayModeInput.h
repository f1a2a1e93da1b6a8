#ifndef ORV_ENTRY_ORVDISPLAYMODEINPUT_H
#define ORV_ENTRY_ORVDISPLAYMODEINPUT_H

// What one input event means on the display-mode screen. Pure mapping from the platform's
// input event to an action; it changes nothing itself.
//
// Keys:   Return accepts, Escape cancels, "w" / "r" / "a" step the mode / resolution /
//         aspect-ratio row by +1, every other key does nothing.
// Mouse:  a press of any button at (x, y) in window pixels
//           - y >= 260 and x > 480: accepts (the start area drawn on the splash picture);
//           - else x >= 350: nothing;
//           - else row (y - 260) / 30, truncated toward zero, so the band just above the
//             first row still counts as row 0; rows 0, 1, 2 are mode, resolution, aspect
//             ratio, any other row does nothing. The step is -1 left of x = 160 (the "<"),
//             +1 from there on; the right button (3) reverses it. Wheel turns arrive as
//             buttons 4 and 5 (OrvInputEvent) and step like the left button.
// Window close (quit request) cancels. Anything else does nothing.

#include "platform/OrvInputEvent.h"

class OrvDisplayModeInput {
public:
    enum class Row { Mode = 0, Resolution = 1, AspectRatio = 2 };

    struct Action {
        enum Kind { None, Accept, Cancel, Step };
        Kind kind = None;
        Row row = Row::Mode; // only for Step
        int delta = 0;       // only for Step: +1 or -1
    };

    // Screen geometry shared with the drawing: the rows' top edges and the start area.
    static constexpr int FirstRowY = 260;
    static constexpr int RowHeight = 30;
    static constexpr int StartAreaMinX = 480; // the start area begins right of this column
    static constexpr int RowsMaxX = 350;      // clicks from this column on miss the rows
    static constexpr int ArrowSplitX = 160;   // left of it is the "<" side

    static Action ForEvent(const OrvInputEvent& event);
    static Action ForKey(OrvKey key);
    static Action ForClick(int x, int y, int button);
};

#endif
