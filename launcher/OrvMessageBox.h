#ifndef ORV_LAUNCHER_ORVMESSAGEBOX_H
#define ORV_LAUNCHER_ORVMESSAGEBOX_H

// The launcher's message box. The caption and the text always go to standard error, so a
// terminal user and a test both see them; when an X display can be opened the same text is
// also shown in a modal dialog with the caption as its title and one OK button, and Show
// returns only after the user closed it (OK, Return, Escape or the window's close button).
//
// The text may run to many lines ("\n" separates them, a tab counts as four spaces). The
// dialog grows with the text up to the screen's size less 40 pixels. A line wider than that
// is wrapped at the text area's width, after its last space that still fits, or between two
// characters when a word alone is too wide. When the rows still do not all fit, the text
// area scrolls: mouse wheel, Up/Down, Page Up/Page Down, Home/End, or a click on or a drag
// of the scroll bar on its right, whose thumb shows which part of the text is in view.
// Standard error always gets the text unchanged.
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
