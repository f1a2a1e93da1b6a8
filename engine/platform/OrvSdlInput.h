#ifndef ORV_PLATFORM_ORVSDLINPUT_H
#define ORV_PLATFORM_ORVSDLINPUT_H

// Takes SDL's pending events and hands them out as OrvInputEvents: the one place that knows
// SDL's event codes. Used by the platform's windows (OrvGlWindow, OrvSoftwareWindow); nobody
// above the platform sees an SDL_Event.
//
// A window's close button and SDL's own quit request (the last window closed, or SIGINT or
// SIGTERM) both become Quit. A wheel turn becomes a press of button 4 (up) or 5 (down) at the
// pointer's place. SDL's expose events become Redraw. Events with no meaning for the engine
// (motion, releases of mouse buttons, focus changes) are skipped, never handed out as None.
// Key repeats are handed out as further KeyDowns.
//
// Never blocks unless asked to (Wait); needs SDL's video subsystem to be up. Main thread only.

#include "platform/OrvInputEvent.h"

union SDL_Event;

class OrvSdlInput {
public:
    // The next meaningful pending event; false when there is none.
    static bool Poll(OrvInputEvent& event);
    // Sleeps until a meaningful event comes; false when SDL's event queue broke down.
    static bool Wait(OrvInputEvent& event);
    // The meaning of one SDL event; false when it has none for the engine.
    static bool Translate(const SDL_Event& sdl, OrvInputEvent& event);
    // The engine's name for an SDL key code.
    static OrvKey KeyOf(int sdlKeyCode);
};

#endif
