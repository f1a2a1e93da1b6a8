#include "gfx/OrvTexture.h"

OrvTexture::OrvTexture() : handle(0), width(0), height(0) {}

OrvTexture::OrvTexture(unsigned handle, const std::string& name, int width, int height)
    : handle(handle), name(name), width(width), height(height) {}
