#include "gfx/OrvTextureManager.h"

#include "gfx/OrvGlState.h"

#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "gfx/OrvImageFile.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

std::string CouldNotLoad(const std::string& name) {
    return "Could not load image file: " + name;
}

OrvException CouldNotLoadError(const std::string& name) {
    return OrvException(OrvMessageKind::CouldNotLoadImage, name, CouldNotLoad(name));
}

// The refusal, and after it what to do about it, as far as the picture tells why.
OrvException NotTruecolor(const std::string& name, const char* why) {
    std::string text = "The image is not truecolor: " + name;
    if (why)
        text += std::string(" (") + why + ": save it as 24- or 32-bit colour)";
    return OrvException(OrvMessageKind::ImageNotTruecolor, name, text);
}

// Why a decoded picture has neither 3 nor 4 bytes a pixel: a palette of greys only is what
// SDL_image makes of a greyscale file; any other palette is a paletted picture.
const char* NotTruecolorReason(const SDL_Surface& surface) {
    const SDL_PixelFormat& format = *surface.format;
    const SDL_Palette* palette = format.palette;
    if (!palette) {
        // Grey with alpha comes as two bytes whose colour masks are one and the same.
        if (format.Rmask != 0 && format.Rmask == format.Gmask && format.Gmask == format.Bmask)
            return "it is greyscale";
        return format.BitsPerPixel == 16 ? "it has 16 bits a pixel" : nullptr;
    }
    for (int i = 0; i < palette->ncolors; ++i) {
        const SDL_Color& colour = palette->colors[i];
        if (colour.r != colour.g || colour.g != colour.b)
            return "it is paletted";
    }
    return "it is greyscale";
}

// One pixel of a 3- or 4-byte surface as SDL stores it, in the machine's byte order.
Uint32 RawPixel(const Uint8* p, int bytesPerPixel) {
    if (bytesPerPixel == 4) {
        Uint32 value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    if (SDL_BYTEORDER == SDL_LIL_ENDIAN)
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
    return Uint32(p[0]) << 16 | Uint32(p[1]) << 8 | Uint32(p[2]);
}

// The picture as tightly packed R, G, B (, A) bytes, bottom row first. Rows are read by the
// surface's pitch, which may pad them, and each pixel is taken apart by the surface's own
// channel masks: PNG and JPEG surfaces keep their bytes as R, G, B, but BMP and TGA surfaces
// keep B, G, R. A 4-byte surface without an alpha mask comes out opaque.
std::vector<unsigned char> UprightPixels(SDL_Surface* surface) {
    const int bytesPerPixel = surface->format->BytesPerPixel;
    const std::size_t rowBytes = std::size_t(surface->w) * bytesPerPixel;
    std::vector<unsigned char> pixels(rowBytes * surface->h);
    for (int y = 0; y < surface->h; ++y) {
        const Uint8* source = static_cast<const Uint8*>(surface->pixels) +
                              std::size_t(surface->h - 1 - y) * surface->pitch;
        unsigned char* target = &pixels[rowBytes * y];
        for (int x = 0; x < surface->w; ++x) {
            Uint8 r, g, b, a;
            SDL_GetRGBA(RawPixel(source + x * bytesPerPixel, bytesPerPixel), surface->format, &r,
                        &g, &b, &a);
            *target++ = r;
            *target++ = g;
            *target++ = b;
            if (bytesPerPixel == 4)
                *target++ = a;
        }
    }
    return pixels;
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

} // namespace

OrvTextureManager::OrvTextureManager(const OrvDataFolder& files) : files(files) {}

OrvTextureManager::~OrvTextureManager() {
    ReleaseAll();
}

void OrvTextureManager::ReleaseAll() {
    bool live = OrvGlState::HasCurrentContext();
    for (const OrvTexture& texture : textures) {
        GLuint handle = texture.handle;
        if (live && handle != 0)
            glDeleteTextures(1, &handle);
    }
    textures.clear();
}

OrvTexture& OrvTextureManager::Texture(const std::string& name) {
    for (OrvTexture& texture : textures)
        if (texture.name == name)
            return texture;
    // Made in full before it is appended, so a name whose loading raised leaves no entry.
    OrvTexture created = (!name.empty() && name[0] == '*') ? CreateTexture(name) : LoadFile(name);
    textures.push_back(created);
    return textures.back();
}

OrvTexture* OrvTextureManager::Texture(unsigned handle) {
    for (OrvTexture& texture : textures)
        if (texture.handle == handle)
            return &texture;
    return nullptr;
}

OrvTexture& OrvTextureManager::InitAsRGBABuffer(const std::string& name, int width, int height) {
    return InitBuffer(name, width, height, GL_RGBA, GL_RGBA);
}

OrvTexture& OrvTextureManager::InitAsDepthBuffer(const std::string& name, int width, int height) {
    return InitBuffer(name, width, height, GL_DEPTH_COMPONENT, GL_DEPTH_COMPONENT);
}

OrvTexture& OrvTextureManager::InitBuffer(const std::string& name, int width, int height,
                                          unsigned internalFormat, unsigned pixelFormat) {
    OrvTexture& texture = Texture(name);
    OrvGlState::BindTexture(texture.handle);
    OrvGlState::SetSampling(false, true);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), width, height, 0,
                 pixelFormat, GL_BYTE, nullptr);
    texture.width = width;
    texture.height = height;
    return texture;
}

OrvTexture OrvTextureManager::CreateTexture(const std::string& name) {
    GLuint handle = 0;
    glGenTextures(1, &handle);
    OrvGlState::BindTexture(handle);
    OrvGlState::SetSampling(false, true);
    return OrvTexture(handle, name, 0, 0);
}

OrvTexture OrvTextureManager::LoadFile(const std::string& name) {
    OrvImageFile file(files.Path(name));
    // SDL_image decodes every GIF to a palette, so a whole GIF is refused without decoding.
    if (file.FileFormat() == OrvImageFileCheck::FormatGif &&
        file.GetState() == OrvImageFile::Undecoded)
        throw NotTruecolor(name, "it is a GIF, which is paletted");
    std::unique_ptr<SDL_Surface, SurfaceDeleter> surface(file.Release());
    if (!surface)
        throw CouldNotLoadError(name);
    const int bytesPerPixel = surface->format->BytesPerPixel;
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        throw NotTruecolor(name, NotTruecolorReason(*surface));
    const GLenum pixelFormat = bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
    const int width = surface->w;
    const int height = surface->h;

    if (SDL_MUSTLOCK(surface.get()) && SDL_LockSurface(surface.get()) != 0)
        throw CouldNotLoadError(name);
    std::vector<unsigned char> pixels = UprightPixels(surface.get());
    if (SDL_MUSTLOCK(surface.get()))
        SDL_UnlockSurface(surface.get());
    surface.reset();

    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    GLuint handle = 0;
    glGenTextures(1, &handle);
    OrvGlState::BindTexture(handle);
    OrvGlState::SetSampling(true, true);
    // OpenGL builds the mipmap chain from the picture as it is. gluBuild2DMipmaps would first
    // rescale a picture whose sides are not powers of two, which blurs it and, with the GLU
    // of Mesa, blackens its top row when only the width needs rescaling; OpenGL 2.0 takes
    // such sides as they are.
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, bytesPerPixel, width, height, 0, pixelFormat, GL_UNSIGNED_BYTE,
                 pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_FALSE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    return OrvTexture(handle, name, width, height);
}
