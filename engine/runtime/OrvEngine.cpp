#include "runtime/OrvEngine.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvRunContext.h"
#include "runtime/OrvQuitRequest.h"
#include "scene/OrvSceneContext.h"

OrvEngine::OrvEngine(OrvRunContext& run)
    : run(run), show(new OrvShow(run)), video(run), loadingScreen(run.Display()),
      player(*show, video, clock, run.Display(), music), quitRequested(false),
      syncAddress(OrvSyncSession::DefaultAddress) {}

OrvEngine::~OrvEngine() {
    // The show's OpenGL objects are given back while the window still exists.
    syncSession.reset();
    debugSession.reset();
    show.reset();
    music.Release();
    video.Close();
}

const char* OrvEngine::Version() {
    return ORV_ENGINE_VERSION;
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
    quitRequested = false;
    try {
        // A broken loading picture is reported like any other loading error instead of
        // escaping the engine.
        loadingScreen.Begin(show->Scene().Textures());
        loadingScreen.SetTotal(show->LoadingSteps());
        show->Load(*this);
        // A show without its music still plays: a music that fails is a warning.
        music.Load(show->Files().Path(show->MusicName()), run.Diagnostics());
        LoadingProgressed();
    } catch (const OrvException& error) {
        video.Close();
        run.Diagnostics().Report(1, error.Message());
        return false;
    } catch (const OrvQuitRequest&) {
        video.Close();
        quitRequested = true;
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
        debugSession.reset(new OrvDebugSession(run, show));
        debugSession->Start();
        player.AddHook(*debugSession);
        syncSession.reset(new OrvSyncSession(syncAddress));
        player.AddHook(*syncSession);
    } else if (!debug && debugSession) {
        player.RemoveHook(*debugSession);
        player.RemoveHook(*syncSession);
        show->RemoveParameterSource(syncSession->Source());
        syncSession.reset();
        debugSession.reset();
    }
}

void OrvEngine::Run() {
    player.Run();
}
