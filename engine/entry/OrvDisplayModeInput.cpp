#include "entry/OrvDisplayModeInput.h"

namespace {
OrvDisplayModeInput::Action Make(OrvDisplayModeInput::Action::Kind kind) {
    OrvDisplayModeInput::Action action;
    action.kind = kind;
    return action;
}

OrvDisplayModeInput::Action MakeStep(OrvDisplayModeInput::Row row, int delta) {
    OrvDisplayModeInput::Action action;
    action.kind = OrvDisplayModeInput::Action::Step;
    action.row = row;
    action.delta = delta;
    return action;
}
} // namespace

OrvDisplayModeInput::Action OrvDisplayModeInput::ForEvent(const OrvInputEvent& event) {
    switch (event.kind) {
    case OrvInputEvent::KeyDown:
        return ForKey(event.key);
    case OrvInputEvent::MouseDown:
        return ForClick(event.x, event.y, event.button);
    case OrvInputEvent::Quit:
        return Make(Action::Cancel);
    default:
        return Make(Action::None);
    }
}

OrvDisplayModeInput::Action OrvDisplayModeInput::ForKey(OrvKey key) {
    switch (key) {
    case OrvKey::Return:
        return Make(Action::Accept);
    case OrvKey::Escape:
        return Make(Action::Cancel);
    case OrvKey::W:
        return MakeStep(Row::Mode, +1);
    case OrvKey::R:
        return MakeStep(Row::Resolution, +1);
    case OrvKey::A:
        return MakeStep(Row::AspectRatio, +1);
    default:
        return Make(Action::None);
    }
}

OrvDisplayModeInput::Action OrvDisplayModeInput::ForClick(int x, int y, int button) {
    if (y >= FirstRowY && x > StartAreaMinX)
        return Make(Action::Accept);
    if (x >= RowsMaxX)
        return Make(Action::None);

    // C++ integer division truncates toward zero: y from 231 to 259 still gives row 0.
    int row = (y - FirstRowY) / RowHeight;
    int delta = x < ArrowSplitX ? -1 : +1;
    if (button == 3) // the right button
        delta = -delta;
    switch (row) {
    case 0:
        return MakeStep(Row::Mode, delta);
    case 1:
        return MakeStep(Row::Resolution, delta);
    case 2:
        return MakeStep(Row::AspectRatio, delta);
    default:
        return Make(Action::None);
    }
}
