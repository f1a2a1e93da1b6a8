#include "entry/OrvDisplayModeScreen.h"

#include "base/OrvDataFolder.h"
#include "base/OrvFontFile.h"
#include "entry/OrvDisplayModeInput.h"
#include "entry/OrvDisplaySettings.h"
#include "gfx/OrvImageFile.h"
#include "platform/OrvSoftwareWindow.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

const char* const OrvDisplayModeScreen::FontName = OrvFontFile::FileName;
const char* const OrvDisplayModeScreen::SystemFontFile = OrvFontFile::SystemPath;

namespace {
const SDL_Color white = {255, 255, 255, 255};
const SDL_Color yellow = {255, 204, 0, 255};
const SDL_Color black = {0, 0, 0, 255};

// Where a row's pieces go, left to right; the label's right arrow follows the label.
const int captionX = 50;
const int leftArrowX = 150;
const int labelX = 160;
const int rightArrowGap = 5;

// A start-up failure of this screen: its message on standard error, and the status the run
// ends with. Whatever was opened is given back by its owner.
int Fail(const char* format, const std::string& why, int status) {
    std::fprintf(stderr, format, why.c_str());
    return status;
}

// A hint for the one failure a user can do something about at once.
std::string WithoutDisplayHint(const std::string& why) {
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        return why;
    return why + " (there is no display: DISPLAY and WAYLAND_DISPLAY are unset; Run --check "
                 "checks a show and Capture renders it without one)";
}

// What the display offers for the show's window: the monitor's full-screen sizes. No list
// comes back empty, which makes the settings fall back to the common sizes.
std::vector<OrvDisplayModeList::Size> OfferedModes(const OrvSoftwareWindow& window) {
    std::vector<OrvDisplayModeList::Size> offered;
    for (const OrvSoftwareWindow::Size& size : window.FullScreenSizes())
        offered.push_back(OrvDisplayModeList::Size{size.width, size.height});
    return offered;
}

// SDL_ttf for the time of one showing.
struct FontLibrary {
    bool started = TTF_Init() == 0;
    ~FontLibrary() {
        if (started)
            TTF_Quit();
    }
};

// The resources of one showing, released together.
class ScreenWindow {
public:
    ScreenWindow(OrvSoftwareWindow& window, SDL_Surface* splash, TTF_Font* font)
        : window(window), screen(window.Surface()), splash(splash), font(font) {}
    ~ScreenWindow() {
        SDL_FreeSurface(splash);
        TTF_CloseFont(font);
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
        window.Present();
    }

    // The window lost its picture (uncovered, say): show the last one again.
    void Present() { window.Present(); }

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
        SDL_Rect place = {x, y, 0, 0};
        SDL_BlitSurface(rendered, nullptr, screen, &place);
        SDL_FreeSurface(rendered);
    }

    OrvSoftwareWindow& window;
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
    OrvSoftwareWindow window;
    // The desktop's size is read before the window opens.
    if (!window.Start())
        return Fail("Unable to initialize SDL: %s\n", WithoutDisplayHint(window.Error()), 1);
    OrvSoftwareWindow::Size desktopSize = window.Desktop();
    OrvDisplayModeList::Size desktop{desktopSize.width, desktopSize.height};

    std::string splashPath = OrvDataFolder(dataFolder).Path("splash.jpg");
    // Checked before decoding: a damaged splash must give the message, not hang the screen.
    OrvImageFile splashFile(splashPath);
    SDL_Surface* splash = splashFile.Release();
    if (splash == nullptr)
        return Fail("Unable to load graphics: %s\n",
                    OrvDataFolder::Shown("splash.jpg") + ": " + splashFile.Reason(), 2);

    if (!window.Open(splash->w, splash->h, debug ? "Orvanta (debug mode)" : "Orvanta")) {
        SDL_FreeSurface(splash);
        return Fail("Unable to setup video: %s\n", window.Error(), 3);
    }

    FontLibrary fonts;
    if (!fonts.started) {
        SDL_FreeSurface(splash);
        std::fputs("TTF_Init:", stderr);
        return 4;
    }
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), 12);
    if (font == nullptr) {
        SDL_FreeSurface(splash);
        return Fail("Could not load a font: %s\n", SDL_GetError(), 5);
    }

    settings.Prepare(debug, desktop, OfferedModes(window));

    ScreenWindow screen(window, splash, font);
    screen.Draw(settings);

    // Each turn takes every pending event. After Return the rest of the batch is still
    // handled (a step in it still counts, an Escape still cancels); then the loop ends.
    bool accepted = false;
    while (!accepted) {
        OrvInputEvent event;
        if (!window.Wait(event))
            return Cancelled; // the event queue broke down; nothing can be chosen any more
        bool changed = false;
        bool lost = false;
        do {
            if (event.kind == OrvInputEvent::Redraw) {
                lost = true;
                continue;
            }
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
        } while (window.Poll(event));
        if (changed && !accepted)
            screen.Draw(settings);
        else if (lost && !accepted)
            screen.Present();
    }
    return Accepted;
}
