#include "runtime/OrvEngine.h"

#include "base/OrvException.h"
#include "base/OrvSystemInfo.h"
#include "base/OrvErrorLog.h"
#include "gfx/OrvTextureManager.h"

OrvEngine::OrvEngine() : show(new OrvShow()), player(*show, video, clock) {}

OrvEngine::~OrvEngine() {
    // The show's OpenGL objects are given back while the window still exists.
    debugSession.reset();
    show->Unload();
    OrvTextureManager::Free();
    OrvSystemInfo::Free();
    video.Close();
}

const char* OrvEngine::Version() {
    return "0.2 (Jul 26 2009)";
}

std::string OrvEngine::StringValue(IOrvScriptLoader::OrvScriptLoaderStringValueId id) {
    return show->Loader() ? show->Loader()->StringValue(id) : "Not initialized";
}

double OrvEngine::NumericValue(IOrvScriptLoader::OrvScriptLoaderNumericValueId id) {
    return show->Loader() ? show->Loader()->NumericValue(id) : -1.0;
}

bool OrvEngine::PreInit() {
    return show->ReadScript();
}

bool OrvEngine::Init(int width, int height, double aspectRatio, unsigned fullScreen) {
    if (!video.Open(width, height, aspectRatio, (fullScreen & 1) != 0, show->Loader()))
        return false;
    try {
        // A broken loading picture is reported like any other loading error instead of
        // escaping the engine.
        loadingScreen.Begin();
        loadingScreen.SetTotal(show->LoadingSteps());
        show->Load(*this);
    } catch (const OrvException& error) {
        video.Close();
        ReportError(1, error.Message());
        return false;
    }
    return true;
}

bool OrvEngine::InitVideo(int width, int height, double aspectRatio, bool fullScreen) {
    return video.OpenWindow(width, height, aspectRatio, fullScreen, show->Loader());
}

void OrvEngine::UpdateLoadingScreen() {
    loadingScreen.Draw();
}

void OrvEngine::LoadingProgressed() {
    loadingScreen.Step();
}

unsigned OrvEngine::CurrentPosition(unsigned ticks) const {
    return clock.PositionAt(ticks);
}

void OrvEngine::Jump(bool forward) {
    player.Jump(forward);
}

void OrvEngine::SetCaption(const std::string& text) {
    video.SetCaption(text.c_str());
}

void OrvEngine::SetDebug(bool debug) {
    player.SetDebug(debug);
    if (debug && !debugSession) {
        debugSession.reset(new OrvDebugSession(show));
        debugSession->Start();
        player.SetHook(debugSession.get());
    } else if (!debug && debugSession) {
        player.SetHook(nullptr);
        debugSession.reset();
    }
}

void OrvEngine::Run() {
    player.Run();
}
