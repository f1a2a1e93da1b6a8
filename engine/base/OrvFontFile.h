#ifndef ORV_BASE_ORVFONTFILE_H
#define ORV_BASE_ORVFONTFILE_H

// Where the engine's one TrueType font is: the display-mode screen and the debug overlay both
// draw their text with it. A constant only; nothing here opens the file.

class OrvFontFile {
public:
    static constexpr const char* SystemPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
};

#endif
