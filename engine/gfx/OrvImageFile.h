#ifndef ORV_GFX_ORVIMAGEFILE_H
#define ORV_GFX_ORVIMAGEFILE_H

// Reads one picture file and decodes it, safely: the file is read whole, its structure is
// checked (OrvImageFileCheck), and only a complete file goes to SDL_image, to the decoder of
// exactly the format the check recognised. No other code should hand a file to IMG_Load:
// its decoders hang or crash on some damaged files.
//
// States, in the order the work is done:
// - Unreadable: no regular file there, or larger than MaxFileBytes, or a read failed.
// - Damaged: read, but not a complete file of a known format.
// - Undecoded: complete, but not decoded: a GIF (SDL_image only gives palettes from those,
//   and its GIF reader is not trusted) or a picture the decoder refused.
// - Decoded: Surface() holds the picture.
// Reason() says in words why a picture is not Decoded.
//
// Ownership: the object owns the surface and frees it with itself, unless Release() handed
// it over; then the caller frees it with SDL_FreeSurface.

#include "gfx/OrvImageFileCheck.h"

#include <string>

struct SDL_Surface;

class OrvImageFile {
public:
    enum State { Unreadable, Damaged, Undecoded, Decoded };

    // Larger files are not pictures a show can use; refusing them keeps a wrong name (a
    // device, a huge archive) from being read into memory.
    static const long long MaxFileBytes = 1LL << 30;

    explicit OrvImageFile(const std::string& path);
    ~OrvImageFile();
    OrvImageFile(const OrvImageFile&) = delete;
    OrvImageFile& operator=(const OrvImageFile&) = delete;

    State GetState() const { return state; }
    OrvImageFileCheck::Format FileFormat() const { return format; }
    const char* Reason() const;
    // The decoded picture, owned by this object; null unless Decoded.
    SDL_Surface* Surface() const { return surface; }
    // Hands the picture over to the caller, who frees it; null unless Decoded.
    SDL_Surface* Release();

private:
    State state;
    OrvImageFileCheck::Format format;
    SDL_Surface* surface;
};

#endif
