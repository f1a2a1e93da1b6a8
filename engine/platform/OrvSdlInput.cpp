#include "platform/OrvSdlInput.h"

#include <SDL2/SDL.h>

bool OrvSdlInput::Poll(OrvInputEvent& event) {
    SDL_Event sdl;
    while (SDL_PollEvent(&sdl)) {
        if (Translate(sdl, event))
            return true;
    }
    return false;
}

bool OrvSdlInput::Wait(OrvInputEvent& event) {
    SDL_Event sdl;
    while (SDL_WaitEvent(&sdl)) {
        if (Translate(sdl, event))
            return true;
    }
    return false;
}

bool OrvSdlInput::Translate(const SDL_Event& sdl, OrvInputEvent& event) {
    switch (sdl.type) {
    case SDL_QUIT:
        event = OrvInputEvent::Closed();
        return true;
    case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
            event = OrvInputEvent::Closed();
            return true;
        }
        if (sdl.window.event == SDL_WINDOWEVENT_EXPOSED) {
            event = OrvInputEvent();
            event.kind = OrvInputEvent::Redraw;
            return true;
        }
        return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        event = OrvInputEvent::Key(sdl.type == SDL_KEYDOWN ? OrvInputEvent::KeyDown
                                                           : OrvInputEvent::KeyUp,
                                   KeyOf(sdl.key.keysym.sym));
        return true;
    case SDL_MOUSEBUTTONDOWN:
        event = OrvInputEvent::Click(sdl.button.button, sdl.button.x, sdl.button.y);
        return true;
    case SDL_MOUSEWHEEL: {
        if (sdl.wheel.y == 0)
            return false;
        bool up = sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? sdl.wheel.y < 0 : sdl.wheel.y > 0;
        // Where the pointer was when the wheel turned, not where it is by now: SDL's mouse
        // state has already moved on with the events queued after this one.
        event = OrvInputEvent::Click(up ? 4 : 5, sdl.wheel.mouseX, sdl.wheel.mouseY);
        return true;
    }
    default:
        return false;
    }
}

OrvKey OrvSdlInput::KeyOf(int code) {
    if (code >= SDLK_a && code <= SDLK_z)
        return static_cast<OrvKey>(static_cast<int>(OrvKey::A) + (code - SDLK_a));
    if (code >= SDLK_F1 && code <= SDLK_F12)
        return static_cast<OrvKey>(static_cast<int>(OrvKey::F1) + (code - SDLK_F1));
    switch (code) {
    case SDLK_ESCAPE:
        return OrvKey::Escape;
    case SDLK_RETURN:
        return OrvKey::Return;
    case SDLK_SPACE:
        return OrvKey::Space;
    case SDLK_LEFT:
        return OrvKey::Left;
    case SDLK_RIGHT:
        return OrvKey::Right;
    case SDLK_UP:
        return OrvKey::Up;
    case SDLK_DOWN:
        return OrvKey::Down;
    case SDLK_HOME:
        return OrvKey::Home;
    case SDLK_END:
        return OrvKey::End;
    case SDLK_PAGEUP:
        return OrvKey::PageUp;
    case SDLK_PAGEDOWN:
        return OrvKey::PageDown;
    default:
        return OrvKey::Other;
    }
}
