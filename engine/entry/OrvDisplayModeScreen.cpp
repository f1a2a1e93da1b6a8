#include "entry/OrvDisplayModeScreen.h"

#include "base/OrvDataFolder.h"
#include "base/OrvFontFile.h"
#include "entry/OrvDisplayModeInput.h"
#include "entry/OrvDisplaySettings.h"
#include "gfx/OrvImageFile.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

const char* const OrvDisplayModeScreen::FontName = OrvFontFile::FileName;
const char* const OrvDisplayModeScreen::SystemFontFile = OrvFontFile::SystemPath;

namespace {
const SDL_Color white = {255, 255, 255, 0};
const SDL_Color yellow = {255, 204, 0, 0};
const SDL_Color black = {0, 0, 0, 0};

// Where a row's pieces go, left to right; the label's right arrow follows the label.
const int captionX = 50;
const int leftArrowX = 150;
const int labelX = 160;
const int rightArrowGap = 5;

// A start-up failure of this screen: its message on standard error, SDL shut down again, and
// the status the run ends with.
int Fail(const char* format, int status) {
    std::fprintf(stderr, format, SDL_GetError());
    TTF_Quit();
    SDL_Quit();
    return status;
}

// What the display offers for the show's window: SDL's list in the current pixel format for
// a full-screen OpenGL window. No list and "any size" both come back empty, which makes the
// settings fall back to the common sizes.
std::vector<OrvDisplayModeList::Size> OfferedModes() {
    std::vector<OrvDisplayModeList::Size> offered;
    SDL_Rect** modes =
        SDL_ListModes(SDL_GetVideoInfo()->vfmt, SDL_FULLSCREEN | SDL_HWSURFACE | SDL_OPENGL);
    if (modes == nullptr || modes == reinterpret_cast<SDL_Rect**>(-1))
        return offered;
    for (int i = 0; modes[i] != nullptr; ++i)
        offered.push_back(OrvDisplayModeList::Size{modes[i]->w, modes[i]->h});
    return offered;
}

// The resources of one showing, released together.
class ScreenWindow {
public:
    ScreenWindow(SDL_Surface* screen, SDL_Surface* splash, TTF_Font* font)
        : screen(screen), splash(splash), font(font) {}
    ~ScreenWindow() {
        SDL_FreeSurface(splash);
        TTF_CloseFont(font);
        TTF_Quit();
        SDL_Quit();
    }
    ScreenWindow(const ScreenWindow&) = delete;
    ScreenWindow& operator=(const ScreenWindow&) = delete;

    void Draw(const OrvDisplaySettings& settings) {
        SDL_Rect origin = {0, 0, 0, 0};
        SDL_BlitSurface(splash, nullptr, screen, &origin);
        DrawRow("Mode:", OrvDisplayModeInput::FirstRowY, settings.SelectedModeLabel());
        DrawRow("Resolution:", OrvDisplayModeInput::FirstRowY + OrvDisplayModeInput::RowHeight,
                settings.SelectedResolutionLabel());
        DrawRow(
            "Aspect ratio:", OrvDisplayModeInput::FirstRowY + 2 * OrvDisplayModeInput::RowHeight,
            settings.SelectedAspectLabel());
        DrawText(settings.VersionText(), black, 0, 0);
        SDL_UpdateRect(screen, 0, 0, splash->w, splash->h);
    }

private:
    // Caption, "<", the selected label and ">" right after the label.
    void DrawRow(const char* caption, int y, const std::string& label) {
        int labelWidth = 0;
        int labelHeight = 0;
        if (TTF_SizeText(font, label.c_str(), &labelWidth, &labelHeight) != 0)
            labelWidth = 0;
        DrawText(caption, white, captionX, y);
        DrawText("<", white, leftArrowX, y);
        DrawText(label, yellow, labelX, y);
        DrawText(">", white, labelX + rightArrowGap + labelWidth, y);
    }

    // A text that cannot be rendered (an empty one, for instance) is left out.
    void DrawText(const std::string& text, SDL_Color color, int x, int y) {
        SDL_Surface* rendered = TTF_RenderText_Blended(font, text.c_str(), color);
        if (rendered == nullptr)
            return;
        SDL_Rect place = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
        SDL_BlitSurface(rendered, nullptr, screen, &place);
        SDL_FreeSurface(rendered);
    }

    SDL_Surface* screen;
    SDL_Surface* splash;
    TTF_Font* font;
};
} // namespace

std::string OrvDisplayModeScreen::FontFile() {
    return OrvFontFile::Find();
}

int OrvDisplayModeScreen::Show(OrvDisplaySettings& settings, const std::string& dataFolder,
                               bool debug) {
    return Show(settings, dataFolder, debug, FontFile());
}

int OrvDisplayModeScreen::Show(OrvDisplaySettings& settings, const std::string& dataFolder,
                               bool debug, const std::string& fontFile) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return Fail("Unable to initialize SDL: %s\n", 1);
    SDL_WM_SetCaption(debug ? "Orvanta (debug mode)" : "Orvanta", nullptr);

    // The desktop's size must be read before any mode is set.
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    OrvDisplayModeList::Size desktop{info->current_w, info->current_h};

    std::string splashPath = OrvDataFolder(dataFolder).Path("splash.jpg");
    // Checked before decoding: a damaged splash must give the message, not hang the screen.
    OrvImageFile splashFile(splashPath);
    SDL_Surface* splash = splashFile.Release();
    if (splash == nullptr) {
        SDL_SetError("%s: %s", OrvDataFolder::Shown("splash.jpg").c_str(), splashFile.Reason());
        return Fail("Unable to load graphics: %s\n", 2);
    }

    SDL_Surface* screen = SDL_SetVideoMode(splash->w, splash->h, 32, 0);
    if (screen == nullptr) {
        SDL_FreeSurface(splash);
        return Fail("Unable to setup video: %s\n", 3);
    }

    if (TTF_Init() < 0) {
        SDL_FreeSurface(splash);
        std::fputs("TTF_Init:", stderr);
        SDL_Quit();
        return 4;
    }
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), 12);
    if (font == nullptr) {
        SDL_FreeSurface(splash);
        return Fail("Could not load a font: %s\n", 5);
    }

    settings.Prepare(debug, desktop, OfferedModes());

    ScreenWindow window(screen, splash, font);
    window.Draw(settings);

    // Each turn takes every pending event. After Return the rest of the batch is still
    // handled (a step in it still counts, an Escape still cancels); then the loop ends.
    bool accepted = false;
    while (!accepted) {
        SDL_Event event;
        if (SDL_WaitEvent(&event) == 0)
            return Cancelled; // the event queue broke down; nothing can be chosen any more
        bool changed = false;
        do {
            OrvDisplayModeInput::Action action = OrvDisplayModeInput::ForEvent(event);
            switch (action.kind) {
            case OrvDisplayModeInput::Action::Accept:
                accepted = true;
                break;
            case OrvDisplayModeInput::Action::Cancel:
                return Cancelled;
            case OrvDisplayModeInput::Action::Step:
                changed = settings.Apply(action) || changed;
                break;
            case OrvDisplayModeInput::Action::None:
                break;
            }
        } while (SDL_PollEvent(&event));
        if (changed && !accepted)
            window.Draw(settings);
    }
    return Accepted;
}
