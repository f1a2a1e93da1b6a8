#include "support/OrvPngReader.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <cstring>

bool OrvReadPng(const std::string& path, OrvXDriver::Picture& picture) {
    picture = OrvXDriver::Picture();
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return false;
    picture.width = loaded->w;
    picture.height = loaded->h;
    picture.rgb.reserve(static_cast<size_t>(loaded->w) * loaded->h * 3);
    SDL_LockSurface(loaded);
    for (int y = 0; y < loaded->h; ++y) {
        for (int x = 0; x < loaded->w; ++x) {
            const Uint8* at = static_cast<const Uint8*>(loaded->pixels) + y * loaded->pitch +
                              x * loaded->format->BytesPerPixel;
            Uint32 pixel = 0;
            std::memcpy(&pixel, at, loaded->format->BytesPerPixel);
            Uint8 r, g, b;
            SDL_GetRGB(pixel, loaded->format, &r, &g, &b);
            picture.rgb.insert(picture.rgb.end(), {r, g, b});
        }
    }
    SDL_UnlockSurface(loaded);
    SDL_FreeSurface(loaded);
    return true;
}
