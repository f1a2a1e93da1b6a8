#ifndef ORV_PLATFORM_ORVINPUTEVENT_H
#define ORV_PLATFORM_ORVINPUTEVENT_H

// One thing the user did to a window, in the engine's own terms, so that the player, the
// loading screen and the display-mode screen never see the windowing library's events.
// The platform's windows translate their events into these (OrvSdlInput); tests build them
// directly.
//
// Kinds: Quit (the window was closed, or the process was asked to end), KeyDown and KeyUp
// (`key`), MouseDown (`button` 1 left, 2 middle, 3 right, 4 and 5 a wheel turn up and down,
// at window pixel `x`, `y`), Redraw (the window's picture was lost and must be shown again).
// Keys the engine has no use for arrive as OrvKey::Other. Plain values.

enum class OrvKey {
    Other,
    Escape,
    Return,
    Space,
    Left,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    F1,
    F2,
    F3,
    F4,
    F5,
    F6,
    F7,
    F8,
    F9,
    F10,
    F11,
    F12,
    A,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z
};

struct OrvInputEvent {
    enum Kind { None, Quit, KeyDown, KeyUp, MouseDown, Redraw };

    Kind kind = None;
    OrvKey key = OrvKey::Other; // KeyDown and KeyUp
    int button = 0;             // MouseDown
    int x = 0;                  // MouseDown
    int y = 0;                  // MouseDown

    static OrvInputEvent Key(Kind kind, OrvKey key) {
        OrvInputEvent event;
        event.kind = kind;
        event.key = key;
        return event;
    }
    static OrvInputEvent Click(int button, int x, int y) {
        OrvInputEvent event;
        event.kind = MouseDown;
        event.button = button;
        event.x = x;
        event.y = y;
        return event;
    }
    static OrvInputEvent Closed() {
        OrvInputEvent event;
        event.kind = Quit;
        return event;
    }
};

#endif
