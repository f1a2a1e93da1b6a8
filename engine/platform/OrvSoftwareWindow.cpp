#include "platform/OrvSoftwareWindow.h"

#include "platform/OrvSdlInput.h"

#include <SDL2/SDL.h>

OrvSoftwareWindow::OrvSoftwareWindow() : window(nullptr), surface(nullptr) {}

OrvSoftwareWindow::~OrvSoftwareWindow() {
    Close();
}

bool OrvSoftwareWindow::Fail() {
    const char* text = SDL_GetError();
    error = text ? text : "";
    return false;
}

bool OrvSoftwareWindow::Start() {
    if (video.Held())
        return true;
    if (!video.Hold(true)) {
        error = video.Error();
        return false;
    }
    return true;
}

bool OrvSoftwareWindow::Open(int width, int height, const std::string& caption) {
    if (!Start())
        return false;
    window = SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              width, height, 0);
    if (!window)
        return Fail();
    surface = SDL_GetWindowSurface(window);
    if (!surface) {
        SDL_DestroyWindow(window);
        window = nullptr;
        return Fail();
    }
    return true;
}

void OrvSoftwareWindow::Close() {
    surface = nullptr;
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    video.Release();
}

OrvSoftwareWindow::Size OrvSoftwareWindow::Desktop() const {
    SDL_DisplayMode mode = {};
    if (!video.Held() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return Size{0, 0};
    return Size{mode.w, mode.h};
}

std::vector<OrvSoftwareWindow::Size> OrvSoftwareWindow::FullScreenSizes() const {
    std::vector<Size> sizes;
    if (!video.Held())
        return sizes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode = {};
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        // SDL lists each size once per refresh rate and pixel format, largest first.
        bool seen = false;
        for (const Size& size : sizes)
            seen = seen || (size.width == mode.w && size.height == mode.h);
        if (!seen)
            sizes.push_back(Size{mode.w, mode.h});
    }
    return sizes;
}

void OrvSoftwareWindow::Present() {
    if (window)
        SDL_UpdateWindowSurface(window);
}

bool OrvSoftwareWindow::Wait(OrvInputEvent& event) {
    return video.Held() && OrvSdlInput::Wait(event);
}

bool OrvSoftwareWindow::Poll(OrvInputEvent& event) {
    return video.Held() && OrvSdlInput::Poll(event);
}
