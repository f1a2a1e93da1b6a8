#ifndef ORV_ENTRY_ORVDISPLAYMODESCREEN_H
#define ORV_ENTRY_ORVDISPLAYMODESCREEN_H

// The start-up window on which the user picks window mode, resolution and aspect ratio
// before the show's own window opens. It draws three rows over the splash picture
// "../data/splash.jpg" and changes them with "w", "r", "a" or mouse clicks; Return or a click
// on the start area accepts, Escape or closing the window cancels. What each input means is
// OrvDisplayModeInput's business, the lists and the choice live in OrvDisplaySettings.
//
// The splash picture sets the window's size and carries the artwork: the rows are drawn at
// x 50 to about 340 and y 260 to 350, the version text at the top left, and everything right
// of x 480 from y 260 down is the start area, so the picture should show a start button there.
//
// It opens SDL's video subsystem (and SDL_ttf) when it starts and closes both again before it
// returns, on accept and on cancel, so the engine's own video set-up starts from scratch.
// It uses a plain software surface and no OpenGL.
//
// Start-up failures end the whole process with a message on standard error:
//   1 "Unable to initialize SDL: <SDL error>"    2 "Unable to load graphics: <SDL error>"
//   3 "Unable to setup video: <SDL error>"       4 "TTF_Init:"
//   5 "Could not load a font: <SDL error>"
// Nothing is written to the error log.
//
// Between inputs the loop sleeps in SDL's event wait; the window is redrawn only after a
// selection changed (the windowing system repaints exposed parts from SDL's own copy).

#include <string>

class OrvDisplayModeScreen {
public:
    // The font the rows are written with, at 12 points: DejaVu Sans, the copy beside the
    // engine library (bin/DejaVuSans.ttf, put there by the build), so a show carries its own
    // font to machines that have none; else the system's copy from fonts-dejavu-core.
    static const char* const FontName;
    static const char* const SystemFontFile;
    static std::string FontFile();

    // Shows the screen with the settings of OrvDisplaySettings::Shared(): their lists are
    // rebuilt and preselected first. True when the user accepted (the settings then hold the
    // choice), false when the user cancelled. With `debug` the caption is
    // "Orvanta (debug mode)" instead of "Orvanta" and "Windowed" is preselected.
    static bool Show(bool debug);

    // The same with another font file; the file must be a TrueType font.
    static bool Show(bool debug, const std::string& fontFile);
};

// The screen under the name the engine's entry point uses.
bool DisplayModeScreen(bool debug);

#endif
