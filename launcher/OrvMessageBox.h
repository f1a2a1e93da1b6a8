#ifndef ORV_LAUNCHER_ORVMESSAGEBOX_H
#define ORV_LAUNCHER_ORVMESSAGEBOX_H

// The launcher's message box. The caption and the text always go to standard error, so a
// terminal user and a test both see them; when an X display can be opened the same text is
// also shown in a modal dialog with the caption as its title and one OK button, and Show
// returns only after the user closed it (OK, Return, Escape or the window's close button).
//
// The text may run to many lines ("\n" separates them); lines longer than the screen is
// wide and lines below its bottom are cut off in the dialog, never on standard error.
// The dialog window carries _NET_WM_PID, so it can be told apart from other windows. It
// does not take the keyboard focus itself: a window manager gives it to new windows, and
// without one, taking it would steal keys meant for other programs on the display.

#include <string>

class OrvMessageBox {
public:
    // Writes "<caption>: <text>" and a newline (unless the text already ends with one) to
    // standard error, then shows the dialog if there is a display.
    static void Show(const std::string& caption, const std::string& text);
};

#endif
