#ifndef ORV_GFX_ORVTEXTOVERLAY_H
#define ORV_GFX_ORVTEXTOVERLAY_H

// A few lines of text drawn over the picture in the bottom-left corner of the window, on a
// dark box: how debug mode shows the errors of an edit that broke the show, until the next
// edit loads. SetMessages lays the messages out in MaxLines lines of MaxColumns characters
// (OrvMessageLayout: the first error first, each whole with its long lines wrapped, and how
// many more there are when not all fit; the whole list went to standard error). SetText
// shows a text of its own, its lines wrapped the same way and cut past MaxLines.
//
// SetText renders the text once with SDL_ttf (the display-mode screen's font) into a texture
// that the overlay owns; Clear and the destructor delete it (when a context is current).
// Draw, after the show's frame and before the swap, puts it on the window's whole framebuffer
// (of the size given, in pixels) and restores every state it changes; it allocates nothing.
// Needs a current context.

#include "base/OrvDiagnostics.h"

#include <string>
#include <vector>

class OrvTextOverlay {
public:
    static const int MaxLines = 8;
    static const int MaxColumns = 100;

    OrvTextOverlay();
    ~OrvTextOverlay();
    OrvTextOverlay(const OrvTextOverlay&) = delete;
    OrvTextOverlay& operator=(const OrvTextOverlay&) = delete;

    void SetText(const std::string& text);
    void SetMessages(const std::vector<OrvDiagnostics::Record>& messages);
    void Clear();
    bool Showing() const { return texture != 0; }
    const std::string& Text() const { return shown; }

    void Draw(int windowWidth, int windowHeight) const;

private:
    void Show(const std::vector<std::string>& lines);

    unsigned texture;
    int width;
    int height;
    std::string shown;
};

#endif
