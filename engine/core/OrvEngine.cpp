#include "core/OrvEngine.h"

#include "core/OrvException.h"
#include "core/OrvGlUtils.h"
#include "core/OrvSystemInfo.h"
#include "entry/OrvErrorLog.h"
#include "render/OrvTextureManager.h"
#include "script/OrvAsciiScriptLoader.h"

#include <GL/glew.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

OrvEngine::OrvEngine()
    : loader(nullptr), screen(nullptr), lastTicks(0), startTicks(0), jumpOffset(0), startSeconds(0),
      endPosition(0), loadingTotal(1), loadingDone(0), lastRate(0) {
    renderLineManager.Init(objectManager);
}

OrvEngine::~OrvEngine() {
    OrvTextureManager::Free();
    OrvSystemInfo::Free();
    delete loader;
    loader = nullptr;
    SDL_Quit();
    loadingTexture.name.clear();
    title.clear();
    // The members go next, in reverse order: the music first, then the parameters, the
    // render lines and last the objects, after the OpenGL context is gone.
}

const char* OrvEngine::Version() {
    return "0.2 (Jul 26 2009)";
}

std::string OrvEngine::StringValue(IOrvScriptLoader::OrvScriptLoaderStringValueId id) {
    return loader ? loader->StringValue(id) : "Not initialized";
}

double OrvEngine::NumericValue(IOrvScriptLoader::OrvScriptLoaderNumericValueId id) {
    return loader ? loader->NumericValue(id) : -1.0;
}

bool OrvEngine::PreInit() {
    delete loader;
    loader = new OrvAsciiScriptLoader();
    std::string path = OrvSystemInfo::Instance()->DataFolder("script.txt");
    if (loader->Load(path.c_str()))
        return true;
    ReportError(1, "Could not load a script file");
    return false;
}

bool OrvEngine::Init(int width, int height, double aspectRatio, unsigned fullScreen) {
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        ReportError(1, std::string("Unable to initialize SDL: ") + SDL_GetError());
        return false;
    }
    std::atexit(SDL_Quit);
    if (!InitVideo(width, height, aspectRatio, (fullScreen & 1) != 0))
        return false;
    GLenum glewError = glewInit();
    if (glewError != GLEW_OK) {
        SDL_Quit();
        ReportError(1, std::string("Error: ") +
                           reinterpret_cast<const char*>(glewGetErrorString(glewError)));
        return false;
    }
    if (!GLEW_VERSION_2_0) {
        SDL_Quit();
        ReportError(1, "Error: OpenGL 2.0 not supported by your hardware.");
        return false;
    }
    try {
        // A broken loading picture is reported like any other loading error instead of
        // escaping the engine.
        std::string loadingName = "loading.jpg";
        loadingTexture = OrvTextureManager::Instance()->Texture(loadingName);
        loadingDone = 0;
        loadingTotal = 1;
        UpdateLoadingScreen();
        if (!LoadContent())
            throw OrvException("Errors in script file");
    } catch (const OrvException& error) {
        SDL_Quit();
        ReportError(1, error.Message());
        return false;
    }
    return true;
}

// Builds the objects, the render lines and the timeline, then loads the music. Returns false
// when the timeline had errors; raised errors pass through to Init.
bool OrvEngine::LoadContent() {
    std::vector<OrvScriptNode*> objectNodes = loader->Objects();
    std::vector<OrvScriptNode*> renderLineNodes = loader->RenderLines();
    loadingDone = 0;
    loadingTotal = static_cast<int>(objectNodes.size()) + 3;
    objectManager.LoadObjects(objectNodes, parameterManager, *this);
    std::string objectsPrefix = "objects";
    parameterManager.AddInterface(objectsPrefix, objectManager);
    LoadingProgressed();
    renderLineManager.LoadRenderLines(renderLineNodes, parameterManager);
    LoadingProgressed();
    if (!loader->ProcessScript(parameterManager))
        return false;
    std::string musicName = loader->StringValue(IOrvScriptLoader::Music);
    std::string musicPath = OrvSystemInfo::Instance()->DataFolder(musicName.c_str());
    music.Load(musicPath); // a show without music still plays
    LoadingProgressed();
    startSeconds = loader->NumericValue(IOrvScriptLoader::Jump);
    double end = loader->NumericValue(IOrvScriptLoader::EndPosition);
    endPosition = end > 0 ? static_cast<unsigned>(end) : 0;
    return true;
}

bool OrvEngine::InitVideo(int width, int height, double aspectRatio, bool fullScreen) {
    OrvSystemInfo* info = OrvSystemInfo::Instance();
    info->SetAspectRatio(aspectRatio);
    double scriptWidth = loader ? loader->NumericValue(IOrvScriptLoader::Width) : 0;
    double scriptHeight = loader ? loader->NumericValue(IOrvScriptLoader::Height) : 0;
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
    title = loader ? loader->StringValue(IOrvScriptLoader::Title) : "";
    SetCaption("Loading...");

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void OrvEngine::UpdateLoadingScreen() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    OrvGlUtils::SetFullViewport(false, -1, -1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    float W = static_cast<float>(viewport[2]);
    float H = static_cast<float>(viewport[3]);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, W, H, 0, -1, 1); // one unit per pixel, y growing downwards
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, loadingTexture.handle);
    glColor4f(1, 1, 1, 1);
    float tw = static_cast<float>(loadingTexture.width);
    float th = static_cast<float>(loadingTexture.height);
    float x0f = (W - tw) * 0.5f;
    float y0f = (H - th) * 0.5f;
    int x0 = static_cast<int>(x0f);
    int y0 = static_cast<int>(y0f);
    int x1 = static_cast<int>(x0f + tw);
    int y1 = static_cast<int>(y0f + th);
    // The texture's first row is the picture's bottom row, so (0, 0) goes bottom left.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(x0, y1);
    glTexCoord2f(1, 0);
    glVertex2i(x1, y1);
    glTexCoord2f(1, 1);
    glVertex2i(x1, y0);
    glTexCoord2f(0, 1);
    glVertex2i(x0, y0);
    glEnd();

    glDisable(GL_TEXTURE_2D);
    float progress = loadingTotal > 0 ? static_cast<float>(loadingDone) / loadingTotal : 1.0f;
    int xp = x0 + static_cast<int>(progress * (x1 - x0));
    glBegin(GL_QUADS); // a bar five pixels high, one pixel below the picture
    glVertex2i(x0, y1 + 6);
    glVertex2i(xp, y1 + 6);
    glVertex2i(xp, y1 + 1);
    glVertex2i(x0, y1 + 1);
    glEnd();

    glFlush();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    SDL_GL_SwapBuffers();
}

void OrvEngine::LoadingProgressed() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT)
            std::exit(0);
    }
    ++loadingDone;
    UpdateLoadingScreen();
}

unsigned OrvEngine::JumpStep() {
    double bpm = loader ? loader->NumericValue(IOrvScriptLoader::Bpm) : 0;
    double step = bpm > 0 ? std::trunc(960000.0 / bpm) : 0;
    // A bpm so small that sixteen beats outlast the clock cannot be a real show's.
    return step < 2147483647.0 ? static_cast<unsigned>(step) : 0;
}

unsigned OrvEngine::CurrentPosition(unsigned ticks) const {
    return (ticks - startTicks) + static_cast<unsigned>(jumpOffset);
}

void OrvEngine::Jump(bool forward) {
    unsigned step = JumpStep();
    if (forward) {
        jumpOffset += static_cast<int>(step);
    } else {
        unsigned position = CurrentPosition(SDL_GetTicks());
        jumpOffset -= static_cast<int>(step < position ? step : position);
    }
    music.SetPosition(CurrentPosition(SDL_GetTicks()));
}

void OrvEngine::SetCaption(const std::string& text) {
    SetCaptionText(text.c_str());
}

void OrvEngine::SetCaptionText(const char* text) {
    // The caption string keeps its capacity, so once grown this costs no allocation.
    caption.assign(title);
    caption.append(" - ");
    caption.append(text);
    SDL_WM_SetCaption(caption.c_str(), nullptr);
}

void OrvEngine::SetPlayingCaption(unsigned frameTime, unsigned position) {
    // Two frames within one millisecond have no measurable rate: keep showing the last one.
    if (frameTime > 0)
        lastRate = 1000.0 / frameTime;
    char text[96];
    std::snprintf(text, sizeof text, "FPS: %.0f / Position: %.1fs", lastRate, position * 0.001);
    SetCaptionText(text);
}

void OrvEngine::Run() {
    jumpOffset = 0;
    unsigned now = SDL_GetTicks();
    double jumpMs = std::trunc(startSeconds * 1000.0);
    unsigned jump = jumpMs > 0 && jumpMs < 4294967296.0 ? static_cast<unsigned>(jumpMs) : 0;
    startTicks = lastTicks = now - jump;
    // Picture and sound start together, also when the show starts later than 0.
    music.SetPosition(CurrentPosition(now));
    music.Play(0);

    bool running = true;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                running = false;
            } else if (event.type == SDL_KEYUP) {
                switch (event.key.keysym.sym) {
                case SDLK_ESCAPE:
                    running = false;
                    break;
                case SDLK_RIGHT:
                    Jump(true);
                    break;
                case SDLK_LEFT:
                    Jump(false);
                    break;
                default:
                    break;
                }
            }
        }
        if (!running)
            break;
        now = SDL_GetTicks();
        unsigned frameTime = now - lastTicks;
        lastTicks = now;
        unsigned position = CurrentPosition(now);
        if (endPosition != 0 && position >= endPosition)
            running = false; // this last frame is still drawn
        SetPlayingCaption(frameTime, position);
        parameterManager.UpdateParameters(position);
        renderLineManager.RenderAll(frameTime);
        SDL_GL_SwapBuffers();
    }
    music.Stop();
}
