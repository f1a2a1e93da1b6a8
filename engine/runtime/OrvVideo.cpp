#include "runtime/OrvVideo.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "script/IOrvScriptLoader.h"
#include "script/OrvScriptSize.h"

#include <GL/glew.h>

#include <cstdlib>

OrvVideo::OrvVideo(OrvRunContext& run) : run(run), screen(nullptr) {}

bool OrvVideo::Open(int width, int height, double aspectRatio, bool fullScreen,
                    IOrvScriptLoader* script) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        run.Diagnostics().Report(1, std::string("Unable to initialize SDL: ") + SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);
    if (!OpenWindow(width, height, aspectRatio, fullScreen, script))
        return false;
    GLenum glewError = glewInit();
    if (glewError != GLEW_OK) {
        Close();
        run.Diagnostics().Report(1, std::string("Error: ") +
                           reinterpret_cast<const char*>(glewGetErrorString(glewError)));
        return false;
    }
    if (!GLEW_VERSION_2_0) {
        Close();
        run.Diagnostics().Report(1, "Error: OpenGL 2.0 not supported by your hardware.");
        return false;
    }
    return true;
}

bool OrvVideo::OpenWindow(int width, int height, double aspectRatio, bool fullScreen,
                          IOrvScriptLoader* script) {
    OrvDisplayFacts& display = run.Display();
    display.aspectRatio = aspectRatio;
    display.surfaceWidth = OrvScriptSize::SurfaceWidth(script);
    display.surfaceHeight = OrvScriptSize::SurfaceHeight(script);

    Uint32 flags = SDL_OPENGL | SDL_DOUBLEBUF | (fullScreen ? SDL_FULLSCREEN : 0);
    // Vector images fill concave outlines through the stencil.
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    screen = SDL_SetVideoMode(width, height, 32, flags);
    if (!screen) {
        run.Diagnostics().Report(1, std::string("Unable to set video mode: ") + SDL_GetError());
        return false;
    }
    const SDL_VideoInfo* video = SDL_GetVideoInfo();
    display.displayWidth = video->current_w;
    display.displayHeight = video->current_h;
    if (fullScreen)
        SDL_ShowCursor(SDL_DISABLE);
    title = script ? script->StringValue(IOrvScriptLoader::Title) : "";
    SetCaption("Loading...");

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void OrvVideo::Close() {
    SDL_Quit();
    screen = nullptr;
}

void OrvVideo::SetCaption(const char* text) {
    caption.assign(title);
    caption.append(" - ");
    caption.append(text);
    SDL_WM_SetCaption(caption.c_str(), nullptr);
}

void OrvVideo::Swap() {
    SDL_GL_SwapBuffers();
}
