#include "gfx/OrvGlUtils.h"

#include "base/OrvDisplayFacts.h"
#include "base/OrvException.h"

#include <GL/gl.h>

OrvGlUtils::Viewport OrvGlUtils::FullViewport(const OrvDisplayFacts& display, bool buffer,
                                              int width, int height) {
    // Single precision throughout, so the rounding matches what the show was designed on.
    float w = static_cast<float>(width > 0 ? width : display.surfaceWidth);
    float h = static_cast<float>(height > 0 ? height : display.surfaceHeight);
    if (buffer)
        return Viewport{0, 0, static_cast<int>(w), static_cast<int>(h)};

    float dw = static_cast<float>(display.displayWidth);
    float dh = static_cast<float>(display.displayHeight);
    float aspect = static_cast<float>(display.aspectRatio);
    if (dw <= 0 || dh <= 0 || w <= 0 || h <= 0 || !(aspect > 0))
        return Viewport{0, 0, static_cast<int>(dw), static_cast<int>(dh)}; // nothing to fit
    float displayRatio = dw / dh;
    h = h * (aspect / displayRatio);
    float sx = dw / w;
    float sy = dh / h;
    float s = sy <= sx ? sy : sx;
    // The sizes and the scale stay floats, but each product is taken exactly (a product of two
    // floats always fits a double) before it is truncated. Rounded to a float first, 800 times
    // the float just below 1.28 would become 1024 and the picture one pixel too wide.
    int vw = static_cast<int>(static_cast<double>(w) * s);
    int vh = static_cast<int>(static_cast<double>(h) * s);
    int x = static_cast<int>(dw - vw) / 2;
    int y = static_cast<int>(dh - vh) / 2;
    return Viewport{x, y, vw, vh};
}

void OrvGlUtils::SetFullViewport(const OrvDisplayFacts& display, bool buffer, int width,
                                 int height) {
    Viewport v = FullViewport(display, buffer, width, height);
    glViewport(v.x, v.y, v.width, v.height);
}

void OrvGlUtils::SetViewport(int, int, int, int) {
    throw OrvException("OrvGlUtils::SetViewport not implemented");
}
