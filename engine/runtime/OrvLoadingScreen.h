#ifndef ORV_RUNTIME_ORVLOADINGSCREEN_H
#define ORV_RUNTIME_ORVLOADINGSCREEN_H

// The screen shown while a show loads: the loading picture ("loading.jpg" of the data folder)
// centred at its own size in the fitted viewport, on black, with a white progress bar five
// pixels high one pixel below the picture, as wide as the picture times the share of steps
// done. Each drawing is swapped to the window at once.
//
// Begin gets the picture from the show's textures (raising their errors, like any texture)
// and shows an empty bar; SetTotal starts counting steps; Step counts one and shows the bar,
// after taking the pending window events: a request to close the window throws
// OrvQuitRequest, which unwinds the loading.
//
// Ownership: the picture's texture belongs to the show's texture manager; the screen keeps a
// copy of its record, which is stale once the manager releases its textures (Begin again).
// The display facts and the window are borrowed.
// Draw saves and restores every attribute group and both matrices. Needs a current context.

#include "gfx/OrvTexture.h"

class OrvDisplayFacts;
class OrvTextureManager;
class OrvVideo;

class OrvLoadingScreen {
public:
    OrvLoadingScreen(const OrvDisplayFacts& display, OrvVideo& video);

    void Begin(OrvTextureManager& textures);
    void SetTotal(int steps);
    void Step();
    void Draw();

    int Done() const { return done; }
    int Total() const { return total; }

private:
    const OrvDisplayFacts& display;
    OrvVideo& video;
    OrvTexture picture;
    int total;
    int done;
};

#endif
