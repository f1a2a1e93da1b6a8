#include "gfx/OrvImageFile.h"

#include "base/OrvWholeFile.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdint>

namespace {

// The decoder of exactly the format that the check recognised, on the very bytes it checked.
SDL_Surface* Decode(const std::string& bytes, OrvImageFileCheck::Format format) {
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!source)
        return nullptr;
    SDL_Surface* surface = nullptr;
    switch (format) {
    case OrvImageFileCheck::FormatPng:
        surface = IMG_LoadPNG_RW(source);
        break;
    case OrvImageFileCheck::FormatJpeg:
        surface = IMG_LoadJPG_RW(source);
        break;
    case OrvImageFileCheck::FormatBmp:
        surface = IMG_LoadBMP_RW(source);
        break;
    case OrvImageFileCheck::FormatTga:
        surface = IMG_LoadTGA_RW(source);
        break;
    default:
        break;
    }
    SDL_RWclose(source);
    return surface;
}

} // namespace

OrvImageFile::OrvImageFile(const std::string& path)
    : state(Unreadable), format(OrvImageFileCheck::FormatUnknown), surface(nullptr) {
    std::string bytes;
    std::uint64_t size;
    if (OrvWholeFile::Load(path, MaxFileBytes, bytes, size) != OrvWholeFile::Read)
        return;
    OrvImageFileCheck check(bytes, path);
    format = check.FileFormat();
    state = Damaged;
    if (!check.Complete())
        return;
    state = Undecoded;
    surface = Decode(bytes, format);
    if (surface)
        state = Decoded;
}

OrvImageFile::~OrvImageFile() {
    if (surface)
        SDL_FreeSurface(surface);
}

const char* OrvImageFile::Reason() const {
    switch (state) {
    case Unreadable:
        return "the file cannot be read";
    case Damaged:
        return "the file is not a complete PNG, JPEG, BMP, TGA or GIF picture";
    case Undecoded:
        return format == OrvImageFileCheck::FormatGif ? "GIF pictures are not supported"
                                                      : "the picture could not be decoded";
    case Decoded:
        break;
    }
    return "";
}

SDL_Surface* OrvImageFile::Release() {
    SDL_Surface* handed = surface;
    surface = nullptr;
    return handed;
}
