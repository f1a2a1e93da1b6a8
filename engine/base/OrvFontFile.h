#ifndef ORV_BASE_ORVFONTFILE_H
#define ORV_BASE_ORVFONTFILE_H

// The engine's one TrueType font, DejaVu Sans: the display-mode screen and the debug overlay
// both draw their text with it. The build puts a copy beside the engine library (bin/), so a
// show folder carries its own font to machines that have none; Find() takes that copy, else the
// system's from fonts-dejavu-core. Nothing here opens the font.

#include <string>

class OrvFontFile {
public:
    static constexpr const char* FileName = "DejaVuSans.ttf";
    static constexpr const char* SystemPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

    // The copy beside the engine library when it can be read, else SystemPath.
    static std::string Find();
};

#endif
