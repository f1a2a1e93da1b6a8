#ifndef ORV_GFX_ORVTEXTURE_H
#define ORV_GFX_ORVTEXTURE_H

// One entry of the texture cache: an OpenGL texture and the name it was asked for by.
//
// A plain record, copied by value. It owns nothing: the OpenGL texture belongs to the
// context and is never deleted, and the record itself lives in OrvTextureManager, which
// creates every one of them. Objects keep the handle and ask the manager again
// (OrvTextureManager::Texture(handle)) when they need the size.
//
// A name that begins with "*" is an empty texture meant as a render buffer; its size is 0 x 0
// until a render line gives it storage. Any other name is an image file in the data folder,
// and the size is the picture's own size in pixels.

#include <string>

class OrvTexture {
public:
    OrvTexture();
    OrvTexture(unsigned handle, const std::string& name, int width, int height);

    unsigned handle;  // OpenGL texture name; 0 only in a default-made record
    std::string name; // the name as it was requested, unchanged
    int width;
    int height;
};

#endif
