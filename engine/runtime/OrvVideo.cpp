#include "runtime/OrvVideo.h"

#include "base/OrvSystemInfo.h"
#include "base/OrvErrorLog.h"
#include "script/IOrvScriptLoader.h"

#include <GL/glew.h>

#include <cstdlib>

OrvVideo::OrvVideo() : screen(nullptr) {}

bool OrvVideo::Open(int width, int height, double aspectRatio, bool fullScreen,
                    IOrvScriptLoader* script) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        ReportError(1, std::string("Unable to initialize SDL: ") + SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);
    if (!OpenWindow(width, height, aspectRatio, fullScreen, script))
        return false;
    GLenum glewError = glewInit();
    if (glewError != GLEW_OK) {
        Close();
        ReportError(1, std::string("Error: ") +
                           reinterpret_cast<const char*>(glewGetErrorString(glewError)));
        return false;
    }
    if (!GLEW_VERSION_2_0) {
        Close();
        ReportError(1, "Error: OpenGL 2.0 not supported by your hardware.");
        return false;
    }
    return true;
}

bool OrvVideo::OpenWindow(int width, int height, double aspectRatio, bool fullScreen,
                          IOrvScriptLoader* script) {
    OrvSystemInfo* info = OrvSystemInfo::Instance();
    info->SetAspectRatio(aspectRatio);
    double scriptWidth = script ? script->NumericValue(IOrvScriptLoader::Width) : 0;
    double scriptHeight = script ? script->NumericValue(IOrvScriptLoader::Height) : 0;
    // Out-of-range header values count as missing, like 0 does.
    int surfaceWidth =
        scriptWidth >= 1 && scriptWidth < 65536 ? static_cast<int>(scriptWidth) : 640;
    int surfaceHeight =
        scriptHeight >= 1 && scriptHeight < 65536 ? static_cast<int>(scriptHeight) : 480;
    info->SetSurfaceSize(surfaceWidth, surfaceHeight);

    Uint32 flags = SDL_OPENGL | SDL_DOUBLEBUF | (fullScreen ? SDL_FULLSCREEN : 0);
    // Vector images fill concave outlines through the stencil.
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    screen = SDL_SetVideoMode(width, height, 32, flags);
    if (!screen) {
        ReportError(1, std::string("Unable to set video mode: ") + SDL_GetError());
        return false;
    }
    const SDL_VideoInfo* video = SDL_GetVideoInfo();
    info->SetDisplaySize(video->current_w, video->current_h);
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
