#include "runtime/OrvEngine.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvRunContext.h"
#include "runtime/OrvQuitRequest.h"
#include "scene/OrvSceneContext.h"

OrvEngine::OrvEngine(OrvRunContext& run) : OrvEngine(run, realTime) {}

OrvEngine::OrvEngine(OrvRunContext& run, IOrvClock& clock)
    : run(run), video(run), loadingScreen(run.Display(), video), clock(clock),
      player(std::unique_ptr<OrvShow>(new OrvShow(run)), video, clock, run.Display(), music),
      quitRequested(false), syncAddress(OrvSyncSession::DefaultAddress) {}

OrvEngine::~OrvEngine() {
    // The show's OpenGL objects are given back while the window still exists.
    if (debugSession) {
        player.RemoveHook(*debugSession);
        player.RemoveHook(*syncSession);
    }
    syncSession.reset();
    debugSession.reset();
    player.UnloadShow();
    music.Release();
    video.Close();
}

const char* OrvEngine::Version() {
    return ORV_ENGINE_VERSION;
}

std::string OrvEngine::StringValue(IOrvScriptLoader::OrvScriptLoaderStringValueId id) {
    return Show().Loader() ? Show().Loader()->StringValue(id) : "Not initialized";
}

double OrvEngine::NumericValue(IOrvScriptLoader::OrvScriptLoaderNumericValueId id) {
    return Show().Loader() ? Show().Loader()->NumericValue(id) : -1.0;
}

bool OrvEngine::PreInit() {
    return Show().ReadScript();
}

bool OrvEngine::Init(int width, int height, double aspectRatio, unsigned fullScreen) {
    if (!video.Open(width, height, aspectRatio, (fullScreen & 1) != 0, Show().Loader()))
        return false;
    quitRequested = false;
    try {
        // A broken loading picture is reported like any other loading error instead of
        // escaping the engine.
        loadingScreen.Begin(Show().Scene().Textures());
        loadingScreen.SetTotal(Show().LoadingSteps());
        Show().Load(*this);
        // A show without its music still plays: a music that fails is a warning.
        music.Load(Show().Files().Path(Show().MusicName()), run.Diagnostics());
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
    return video.Open(width, height, aspectRatio, fullScreen, Show().Loader());
}

void OrvEngine::UpdateLoadingScreen() {
    loadingScreen.Draw();
}

void OrvEngine::LoadingProgressed() {
    loadingScreen.Step();
}

unsigned OrvEngine::CurrentPosition(unsigned ticks) const {
    return realTime.PositionAt(ticks);
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
        debugSession.reset(new OrvDebugSession(run));
        player.AddHook(*debugSession);
        syncSession.reset(new OrvSyncSession(syncAddress));
        player.AddHook(*syncSession);
    } else if (!debug && debugSession) {
        player.RemoveHook(*debugSession);
        player.RemoveHook(*syncSession);
        player.Show().RemoveParameterSource(syncSession->Source());
        syncSession.reset();
        debugSession.reset();
    }
}

void OrvEngine::Run() {
    player.Run();
}
