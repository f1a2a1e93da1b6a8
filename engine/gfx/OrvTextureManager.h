#ifndef ORV_GFX_ORVTEXTUREMANAGER_H
#define ORV_GFX_ORVTEXTUREMANAGER_H

// The textures of one show, keyed by name. The first request for a name creates the texture;
// every later request, from any object or render line of the show, gets the same entry.
//
// - A name that begins with "*" is an empty texture (no storage, 0 x 0) that a render line
//   later gives storage with InitAsRGBABuffer or InitAsDepthBuffer.
// - Any other name is an image file of the show's data folder. Only complete
//   PNG, JPEG, BMP and TGA files with 3 or 4 bytes per pixel become textures; the picture
//   stands upright (the texture's first row, t = 0, is the bottom of the picture), level 0
//   keeps the picture's own size (sides need not be powers of two), and OpenGL builds the
//   full mipmap chain from it. A file that is missing, damaged or of another format raises
//   OrvException("Could not load image file: " + name); a picture that is not 24- or 32-bit
//   truecolor (palette, grey, 16-bit) raises OrvException("The image is not truecolor: " +
//   name), followed by what to do when the picture tells why, for instance " (it is
//   greyscale: save it as 24- or 32-bit colour)" (or "it is paletted", "it is a GIF, which
//   is paletted", "it has 16 bits a pixel"). A failed request adds no entry.
//
// Ownership: the show owns its manager, and the manager every OrvTexture record and every
// OpenGL texture it made; the references and pointers it hands out stay valid until
// ReleaseAll() or its destruction. ReleaseAll() deletes every texture and forgets every
// record, so the next request for a name loads it again; the destructor does the same. Two
// shows side by side (a reload) have two managers and share nothing. The context the textures
// were made in must be current for every call here (when no context is current any more, the
// textures ended with it and only the records are dropped). The data folder is borrowed.
//
// OpenGL state: creating or sizing a texture leaves it bound to GL_TEXTURE_2D. Loading an
// image sets GL_UNPACK_ALIGNMENT to 1 for the upload (rows of odd length are packed tightly)
// and restores the previous value afterwards.

#include "gfx/OrvTexture.h"

#include <cstddef>

class OrvDataFolder;
#include <list>
#include <string>

class OrvTextureManager {
public:
    explicit OrvTextureManager(const OrvDataFolder& files);
    ~OrvTextureManager();

    // The entry for the name (exact and case-sensitive), created on first request.
    OrvTexture& Texture(const std::string& name);
    // The entry with this OpenGL handle, or null.
    OrvTexture* Texture(unsigned handle);

    // Gives the entry for the name storage of the given size to render into: RGBA colour, or
    // depth components. A "*" name is created empty first; any other name is first loaded as
    // an image, whose storage is then replaced. The size goes to OpenGL unchanged.
    OrvTexture& InitAsRGBABuffer(const std::string& name, int width, int height);
    OrvTexture& InitAsDepthBuffer(const std::string& name, int width, int height);

    // Number of entries.
    std::size_t Count() const { return textures.size(); }

    // Deletes every OpenGL texture of the manager and forgets all entries; handles and
    // references handed out before are stale afterwards.
    void ReleaseAll();

protected:
    OrvTexture& InitBuffer(const std::string& name, int width, int height, unsigned internalFormat,
                           unsigned pixelFormat);
    // A new record of an empty texture with linear filtering and repeating wrap modes.
    OrvTexture CreateTexture(const std::string& name);
    // A new record of a texture made from the image file of that name.
    OrvTexture LoadFile(const std::string& name);

private:
    OrvTextureManager(const OrvTextureManager&) = delete;
    OrvTextureManager& operator=(const OrvTextureManager&) = delete;

    const OrvDataFolder& files;
    // A list, so that appending never moves the entries handed out.
    std::list<OrvTexture> textures;
};

#endif
