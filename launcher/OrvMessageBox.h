#ifndef ORV_LAUNCHER_ORVMESSAGEBOX_H
#define ORV_LAUNCHER_ORVMESSAGEBOX_H

// The launcher's message box. The caption and the text always go to standard error, so a
// terminal user, a machine with no display and a test all see them; then the system's own
// dialog (SDL's message box: X11 or Wayland here, the native one on Windows) shows the same
// caption as its title and the text with one OK button, and Show returns only after the user
// closed it (OK, Return, Escape or the window's close button; where SDL draws the box itself,
// black text on white). With no display the dialog is left out.
//
// The dialog cannot scroll, so it gets what fits a screen: lines wider than WrapColumns are
// wrapped after their last space that still fits (or between two characters when a word
// alone is too wide), and past MaxDialogLines rows it ends with a line saying how many more
// there are on standard error, which always gets the text unchanged.
//
// SDL is loaded when the first dialog is due, from the path given (the show's bin/), else the
// system's copy by name; without SDL there is no dialog, only standard error. Loading it that
// late lets the engine load the show's own libraries first, which SDL's sound client would
// otherwise find on the system. The box owns the loaded SDL until it goes. Main thread only.
// It does NOT start SDL's video subsystem.

#include "OrvSharedLibrary.h"

#include <string>

class OrvMessageBox {
public:
    static const int WrapColumns = 110;
    static const int MaxDialogLines = 40;

    explicit OrvMessageBox(const std::string& sdlLibrary);

    // Writes "<caption>: <text>" and a newline (unless the text already ends with one) to
    // standard error, then shows the dialog if there is a display.
    void Show(const std::string& caption, const std::string& text);

    // The text as the dialog shows it (wrapped, and cut with the line that says so).
    static std::string DialogText(const std::string& text);

private:
    std::string sdlLibrary;
    OrvSharedLibrary sdl;
};

#endif
