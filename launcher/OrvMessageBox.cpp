#include "OrvMessageBox.h"

#include "OrvLauncher.h"

#include <SDL2/SDL_messagebox.h>

#include <cstdio>
#include <vector>

namespace {
// One line of the text as rows of at most `columns` characters.
void Wrap(const std::string& line, std::size_t columns, std::vector<std::string>& rows) {
    std::size_t start = 0;
    while (line.size() - start > columns) {
        std::size_t cut = line.rfind(' ', start + columns);
        if (cut == std::string::npos || cut <= start)
            cut = start + columns; // a word alone too wide: cut between two characters
        rows.push_back(line.substr(start, cut - start));
        start = cut < line.size() && line[cut] == ' ' ? cut + 1 : cut;
    }
    rows.push_back(line.substr(start));
}
} // namespace

std::string OrvMessageBox::DialogText(const std::string& text) {
    std::vector<std::string> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t'))
            line.replace(tab, 1, "    ");
        Wrap(line, WrapColumns, rows);
        start = end + 1;
    }
    std::string shown;
    std::size_t kept = rows.size() > static_cast<std::size_t>(MaxDialogLines)
                           ? static_cast<std::size_t>(MaxDialogLines - 1)
                           : rows.size();
    for (std::size_t i = 0; i < kept; ++i)
        shown += rows[i] + (i + 1 < rows.size() ? "\n" : "");
    if (kept < rows.size())
        shown += "... and " + std::to_string(rows.size() - kept) +
                 " more lines (the whole text is on standard error)";
    return shown;
}

OrvMessageBox::OrvMessageBox(const std::string& sdlLibrary) : sdlLibrary(sdlLibrary) {}

void OrvMessageBox::Show(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s", caption.c_str(), text.c_str());
    if (text.empty() || text.back() != '\n')
        std::fputc('\n', stderr);
    std::fflush(stderr);
    if (!sdl.IsOpen() && !sdl.Open(sdlLibrary))
        sdl.Open(OrvLauncher::MessageBoxLibraryFile);
    auto showMessageBox =
        reinterpret_cast<decltype(&SDL_ShowMessageBox)>(sdl.Symbol("SDL_ShowMessageBox"));
    if (!showMessageBox)
        return;
    // One OK button, which Return and Escape press too.
    SDL_MessageBoxButtonData ok = {};
    ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    ok.buttonid = 0;
    ok.text = "OK";
    // Black text on white where SDL draws the box itself (X11); native boxes keep their own.
    SDL_MessageBoxColorScheme colours = {};
    colours.colors[SDL_MESSAGEBOX_COLOR_BACKGROUND] = {255, 255, 255};
    colours.colors[SDL_MESSAGEBOX_COLOR_TEXT] = {0, 0, 0};
    colours.colors[SDL_MESSAGEBOX_COLOR_BUTTON_BORDER] = {96, 96, 96};
    colours.colors[SDL_MESSAGEBOX_COLOR_BUTTON_BACKGROUND] = {224, 224, 224};
    colours.colors[SDL_MESSAGEBOX_COLOR_BUTTON_SELECTED] = {192, 192, 192};
    std::string shown = DialogText(text);
    SDL_MessageBoxData box = {};
    box.flags = SDL_MESSAGEBOX_ERROR;
    box.title = caption.c_str();
    box.message = shown.c_str();
    box.numbuttons = 1;
    box.buttons = &ok;
    box.colorScheme = &colours;
    int pressed = -1;
    // Fails quietly where there is no display: standard error has it already.
    showMessageBox(&box, &pressed);
}
