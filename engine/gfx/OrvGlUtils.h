#ifndef ORV_GFX_ORVGLUTILS_H
#define ORV_GFX_ORVGLUTILS_H

// Viewport helpers. They take the sizes from the display facts they are given and change only
// the OpenGL viewport; a current context is required to set one.
//
// The presentation is drawn at its surface size's shape, fitted into the display as large as
// it goes and centred; the monitor's aspect ratio corrects for non-square display pixels.
// What the fitted rectangle leaves free are the black bars.

class OrvDisplayFacts;

class OrvGlUtils {
public:
    struct Viewport {
        int x, y, width, height;
    };

    // buffer true: the whole off-screen buffer of width x height. buffer false: the fitted,
    // centred rectangle of the display. A width or height of 0 or less means the surface's.
    static void SetFullViewport(const OrvDisplayFacts& display, bool buffer, int width, int height);
    // The rectangle SetFullViewport would set, without touching OpenGL.
    static Viewport FullViewport(const OrvDisplayFacts& display, bool buffer, int width,
                                 int height);

    // Never implemented: always raises "OrvGlUtils::SetViewport not implemented".
    static void SetViewport(int x, int y, int width, int height);
};

#endif
