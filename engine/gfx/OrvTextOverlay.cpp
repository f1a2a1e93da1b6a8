#include "gfx/OrvTextOverlay.h"

#include "base/OrvFontFile.h"
#include "base/OrvMessageLayout.h"
#include "gfx/OrvGlState.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <epoxy/gl.h>

#include <sstream>
#include <vector>

OrvTextOverlay::OrvTextOverlay() : texture(0), width(0), height(0) {}

OrvTextOverlay::~OrvTextOverlay() {
    Clear();
}

void OrvTextOverlay::Clear() {
    if (texture != 0 && OrvGlState::HasCurrentContext()) {
        GLuint name = texture;
        glDeleteTextures(1, &name);
    }
    texture = 0;
    width = height = 0;
    shown.clear();
}

void OrvTextOverlay::SetText(const std::string& text) {
    std::vector<std::string> lines = OrvMessageLayout::Wrap(text, MaxColumns);
    if (lines.size() > static_cast<std::size_t>(MaxLines))
        lines.resize(MaxLines);
    Show(text.empty() ? std::vector<std::string>() : lines);
}

void OrvTextOverlay::SetMessages(const std::vector<OrvDiagnostics::Record>& messages) {
    Show(messages.empty() ? std::vector<std::string>()
                          : OrvMessageLayout::Lines(messages, MaxLines, MaxColumns));
}

void OrvTextOverlay::Show(const std::vector<std::string>& given) {
    Clear();
    std::vector<std::string> lines;
    for (const std::string& line : given)
        lines.push_back(line.empty() ? " " : line);
    if (lines.empty())
        return;
    if (!TTF_WasInit() && TTF_Init() < 0)
        return;
    TTF_Font* font = TTF_OpenFont(OrvFontFile::Find().c_str(), 13);
    if (!font)
        return;
    const int lineHeight = TTF_FontLineSkip(font);
    const int margin = 4;
    int textWidth = 0;
    for (const std::string& text : lines) {
        int w = 0, h = 0;
        TTF_SizeUTF8(font, text.c_str(), &w, &h);
        textWidth = w > textWidth ? w : textWidth;
    }
    width = textWidth + 2 * margin;
    height = lineHeight * static_cast<int>(lines.size()) + 2 * margin;
    // RGBA in memory order, on a dark half-transparent box.
    SDL_Surface* canvas =
        SDL_CreateRGBSurface(0, width, height, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (!canvas) {
        TTF_CloseFont(font);
        width = height = 0;
        return;
    }
    SDL_FillRect(canvas, nullptr, SDL_MapRGBA(canvas->format, 0, 0, 0, 190));
    const SDL_Color red = {255, 110, 90, 255};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, lines[i].c_str(), red);
        if (!rendered)
            continue;
        SDL_Rect at = {margin, margin + lineHeight * static_cast<int>(i), 0, 0};
        // Copied pixel by pixel so the text keeps its own alpha over the box.
        SDL_LockSurface(rendered);
        SDL_LockSurface(canvas);
        for (int y = 0; y < rendered->h && at.y + y < height; ++y) {
            for (int x = 0; x < rendered->w && at.x + x < width; ++x) {
                Uint32 source = static_cast<Uint32*>(rendered->pixels)[y * rendered->pitch / 4 + x];
                Uint8 r, g, b, a;
                SDL_GetRGBA(source, rendered->format, &r, &g, &b, &a);
                if (a < 40)
                    continue;
                static_cast<Uint32*>(canvas->pixels)[(at.y + y) * canvas->pitch / 4 + at.x + x] =
                    SDL_MapRGBA(canvas->format, r, g, b, 255);
            }
        }
        SDL_UnlockSurface(canvas);
        SDL_UnlockSurface(rendered);
        SDL_FreeSurface(rendered);
    }
    TTF_CloseFont(font);

    GLuint name = 0;
    glGenTextures(1, &name);
    OrvGlState::BindTexture(name);
    OrvGlState::SetSampling(false, false);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 canvas->pixels);
    SDL_FreeSurface(canvas);
    texture = name;
    for (const std::string& line : given)
        shown += line + "\n";
}

void OrvTextOverlay::Draw(int windowWidth, int windowHeight) const {
    if (texture == 0)
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    OrvGlState::BeginPixelSpace(windowWidth, windowHeight);
    glEnable(GL_TEXTURE_2D);
    OrvGlState::BindTextureToUnit(0, texture);
    OrvGlState::SetBlend(OrvGlState::BlendAlpha);
    glColor4f(1, 1, 1, 1);
    float top = static_cast<float>(windowHeight - height);
    // Row 0 of the texture is the top line of the text: t runs from 1 at the bottom.
    OrvGlState::DrawQuad(0, top, static_cast<float>(width), static_cast<float>(windowHeight), 0, 1,
                         1, 0);
    OrvGlState::EndPixelSpace();
    glPopAttrib();
}
