#include "platform/OrvSdlVideo.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace {
bool ShowsNothing(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}
} // namespace

OrvSdlVideo::~OrvSdlVideo() {
    Release();
}

bool OrvSdlVideo::Hold(bool onScreen) {
    Release();
    error.clear();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const char* text = SDL_GetError();
        error = text ? text : "";
        return false;
    }
    held = true;
    const char* forced = SDL_getenv("SDL_VIDEODRIVER");
    if (onScreen && ShowsNothing(SDL_GetCurrentVideoDriver()) && !(forced && *forced)) {
        Release();
        error = "No available video device";
        return false;
    }
    return true;
}

void OrvSdlVideo::Release() {
    if (held)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    held = false;
}

std::string OrvSdlVideo::Driver() const {
    const char* name = held ? SDL_GetCurrentVideoDriver() : nullptr;
    return name ? name : "";
}
