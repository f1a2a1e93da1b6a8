#include "runtime/OrvLoadingScreen.h"

#include "gfx/OrvGlState.h"
#include "gfx/OrvGlUtils.h"
#include "gfx/OrvTextureManager.h"
#include "runtime/OrvQuitRequest.h"

#include <GL/glew.h>

#include <SDL/SDL.h>

OrvLoadingScreen::OrvLoadingScreen(const OrvDisplayFacts& display)
    : display(display), total(1), done(0) {}

void OrvLoadingScreen::Begin(OrvTextureManager& textures) {
    picture = textures.Texture("loading.jpg");
    total = 1;
    done = 0;
    Draw();
}

void OrvLoadingScreen::SetTotal(int steps) {
    total = steps;
    done = 0;
}

void OrvLoadingScreen::Step() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            throw OrvQuitRequest();
    }
    ++done;
    Draw();
}

void OrvLoadingScreen::Draw() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    OrvGlUtils::SetFullViewport(display, false, -1, -1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    float W = static_cast<float>(viewport[2]);
    float H = static_cast<float>(viewport[3]);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);

    OrvGlState::BeginPixelSpace(viewport[2], viewport[3]);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    OrvGlState::BindTexture(picture.handle);
    glColor4f(1, 1, 1, 1);
    float tw = static_cast<float>(picture.width);
    float th = static_cast<float>(picture.height);
    float x0f = (W - tw) * 0.5f;
    float y0f = (H - th) * 0.5f;
    int x0 = static_cast<int>(x0f);
    int y0 = static_cast<int>(y0f);
    int x1 = static_cast<int>(x0f + tw);
    int y1 = static_cast<int>(y0f + th);
    auto pixel = [](int value) { return static_cast<float>(value); };
    OrvGlState::DrawQuad(pixel(x0), pixel(y0), pixel(x1), pixel(y1), 0, 0, 1, 1);

    glDisable(GL_TEXTURE_2D);
    float progress = total > 0 ? static_cast<float>(done) / total : 1.0f;
    int xp = x0 + static_cast<int>(progress * (x1 - x0));
    // A bar five pixels high, one pixel below the picture.
    OrvGlState::DrawQuad(pixel(x0), pixel(y1 + 1), pixel(xp), pixel(y1 + 6), 0, 0, 0, 0);

    glFlush();
    OrvGlState::EndPixelSpace();
    glPopAttrib();
    SDL_GL_SwapBuffers();
}
