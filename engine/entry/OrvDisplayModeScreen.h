#ifndef ORV_ENTRY_ORVDISPLAYMODESCREEN_H
#define ORV_ENTRY_ORVDISPLAYMODESCREEN_H

// The start-up window on which the user picks window mode, resolution and aspect ratio
// before the show's own window opens. It draws three rows over the data folder's splash
// picture "splash.jpg" and changes them with "w", "r", "a" or mouse clicks; Return or a click
// on the start area accepts, Escape or closing the window cancels. What each input means is
// OrvDisplayModeInput's business, the lists and the choice live in OrvDisplaySettings.
//
// The splash picture sets the window's size and carries the artwork: the rows are drawn at
// x 50 to about 340 and y 260 to 350, the version text at the top left, and everything right
// of x 480 from y 260 down is the start area, so the picture should show a start button there.
//
// It opens a plain window of the platform's (OrvSoftwareWindow, no OpenGL) and SDL_ttf when it
// starts and closes both again before it returns, on accept and on cancel, so the engine's
// own video set-up starts from scratch.
//
// A start-up failure writes its message on standard error, gives back what it opened and
// returns the status the run ends with (the launcher exits with it):
//   1 "Unable to initialize SDL: <SDL error>"    2 "Unable to load graphics: <SDL error>"
//   3 "Unable to setup video: <SDL error>"       4 "TTF_Init:"
//   5 "Could not load a font: <SDL error>"
// With no display at all, 1 adds that DISPLAY and WAYLAND_DISPLAY are unset and what checks
// and renders a show without one. Nothing is reported to the diagnostics.
//
// Between inputs the loop sleeps in the window's event wait; the window is drawn again
// after a selection changed, and shown again when the windowing system lost its picture.

#include <string>

class OrvDisplaySettings;

class OrvDisplayModeScreen {
public:
    // What Show returns besides a start-up failure's status (1 to 5).
    enum { Accepted = -1, Cancelled = 0 };

    // The font the rows are written with, at 12 points: DejaVu Sans, the copy beside the
    // engine library (bin/DejaVuSans.ttf, put there by the build), so a show carries its own
    // font to machines that have none; else the system's copy from fonts-dejavu-core
    // (OrvFontFile).
    static const char* const FontName;
    static const char* const SystemFontFile;
    static std::string FontFile();

    // Shows the screen with the given settings: their lists are rebuilt and preselected
    // first. Accepted when the user accepted (the settings then hold the choice), Cancelled
    // when the user cancelled. With `debug` the caption is "Orvanta (debug mode)" instead of
    // "Orvanta" and "Windowed" is preselected. The splash picture is the data folder's.
    static int Show(OrvDisplaySettings& settings, const std::string& dataFolder, bool debug);

    // The same with another font file; the file must be a TrueType font.
    static int Show(OrvDisplaySettings& settings, const std::string& dataFolder, bool debug,
                    const std::string& fontFile);
};

#endif
