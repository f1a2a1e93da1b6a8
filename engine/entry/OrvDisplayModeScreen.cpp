#include "entry/OrvDisplayModeScreen.h"

#include "core/OrvLibraryFolder.h"
#include "core/OrvSystemInfo.h"
#include "entry/OrvDisplayModeInput.h"
#include "entry/OrvDisplaySettings.h"
#include "render/OrvImageFile.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

const char* const OrvDisplayModeScreen::FontName = "DejaVuSans.ttf";
const char* const OrvDisplayModeScreen::SystemFontFile =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

namespace {
const SDL_Color white = {255, 255, 255, 0};
const SDL_Color yellow = {255, 204, 0, 0};
const SDL_Color black = {0, 0, 0, 0};

// Where a row's pieces go, left to right; the label's right arrow follows the label.
const int captionX = 50;
const int leftArrowX = 150;
const int labelX = 160;
const int rightArrowGap = 5;

// Ends the process the way a start-up failure of this screen must: message, then exit code.
[[noreturn]] void Fail(const char* format, int status) {
    std::fprintf(stderr, format, SDL_GetError());
    std::exit(status);
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
    std::string own = OrvLibraryFolder::File(FontName);
    return !own.empty() && access(own.c_str(), R_OK) == 0 ? own : SystemFontFile;
}

bool OrvDisplayModeScreen::Show(bool debug) {
    return Show(debug, FontFile());
}

bool OrvDisplayModeScreen::Show(bool debug, const std::string& fontFile) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        Fail("Unable to initialize SDL: %s\n", 1);
    // The exit paths below leave SDL running; make sure it is shut down (and the desktop
    // mode restored) whichever way the process ends. One registration is enough.
    static bool quitRegistered = false;
    if (!quitRegistered) {
        std::atexit(SDL_Quit);
        quitRegistered = true;
    }
    SDL_WM_SetCaption(debug ? "Orvanta (debug mode)" : "Orvanta", nullptr);

    // The desktop's size must be read before any mode is set.
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    OrvDisplayModeList::Size desktop{info->current_w, info->current_h};

    std::string splashPath = OrvSystemInfo::Instance()->DataFolder("splash.jpg");
    // Checked before decoding: a damaged splash must give the message, not hang the screen.
    OrvImageFile splashFile(splashPath);
    SDL_Surface* splash = splashFile.Release();
    if (splash == nullptr) {
        SDL_SetError("%s: %s", splashPath.c_str(), splashFile.Reason());
        Fail("Unable to load graphics: %s\n", 2);
    }

    SDL_Surface* screen = SDL_SetVideoMode(splash->w, splash->h, 32, 0);
    if (screen == nullptr)
        Fail("Unable to setup video: %s\n", 3);

    if (TTF_Init() < 0) {
        std::fputs("TTF_Init:", stderr);
        std::exit(4);
    }
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), 12);
    if (font == nullptr)
        Fail("Could not load a font: %s\n", 5);

    OrvDisplaySettings& settings = OrvDisplaySettings::Shared();
    settings.Prepare(debug, desktop, OfferedModes());

    ScreenWindow window(screen, splash, font);
    window.Draw(settings);

    // Each turn takes every pending event. After Return the rest of the batch is still
    // handled (a step in it still counts, an Escape still cancels); then the loop ends.
    bool accepted = false;
    while (!accepted) {
        SDL_Event event;
        if (SDL_WaitEvent(&event) == 0)
            return false; // the event queue broke down; nothing can be chosen any more
        bool changed = false;
        do {
            OrvDisplayModeInput::Action action = OrvDisplayModeInput::ForEvent(event);
            switch (action.kind) {
            case OrvDisplayModeInput::Action::Accept:
                accepted = true;
                break;
            case OrvDisplayModeInput::Action::Cancel:
                return false;
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
    return true;
}

bool DisplayModeScreen(bool debug) {
    return OrvDisplayModeScreen::Show(debug);
}
