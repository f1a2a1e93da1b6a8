#include "show/OrvShow.h"

#include "base/IOrvLoadingObserver.h"
#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "base/OrvRunContext.h"
#include "scene/OrvObjectManager.h"
#include "animation/OrvParameterManager.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvBakedSyncKeys.h"
#include "script/OrvScriptTime.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

OrvShow::OrvShow(OrvRunContext& run) : OrvShow(run, run.Diagnostics()) {}

OrvShow::OrvShow(OrvRunContext& run, OrvDiagnostics& diagnostics)
    : run(run), diagnostics(diagnostics), scene(new OrvSceneContext(run, diagnostics)),
      loaded(false) {}

OrvShow::OrvShow(OrvRunContext& run, std::unique_ptr<OrvDiagnostics> own)
    : run(run), ownDiagnostics(std::move(own)), diagnostics(*ownDiagnostics),
      scene(new OrvSceneContext(run, diagnostics)), loaded(false) {}

OrvShow::~OrvShow() {
    Unload();
}

const OrvDataFolder& OrvShow::Files() const {
    return scene->Files();
}

bool OrvShow::ReadScript() {
    OrvAsciiScriptLoader* script = new OrvAsciiScriptLoader(diagnostics);
    loader.reset(script);
    syncSettings = OrvSyncSettings();
    if (script->Load(scene->Files().Path("script.txt"), OrvDataFolder::Shown("script.txt"))) {
        syncSettings = OrvSyncSettings(script->Root());
        return true;
    }
    diagnostics.Report(1, "Could not load a script file");
    return false;
}

int OrvShow::LoadingSteps() const {
    return loader ? static_cast<int>(loader->Objects().size()) + 3 : 3;
}

void OrvShow::Load(IOrvLoadingObserver& observer) {
    // Whatever an earlier load built goes first: a show is loaded once. The textures stay (the
    // loading picture is one, on the screen while this runs); a name asked for again is
    // found among them.
    ReleaseScene();
    objects.reset(new OrvObjectManager(*scene));
    renderLines.reset(new OrvRenderLineManager(*scene));
    parameters.reset(new OrvParameterManager(diagnostics, run.Random()));
    renderLines->Init(*objects);
    loaded = false;
    if (!loader)
        throw OrvException("Errors in script file");

    std::vector<OrvScriptNode*> objectNodes = loader->Objects();
    std::vector<OrvScriptNode*> renderLineNodes = loader->RenderLines();
    objects->LoadObjects(objectNodes, *parameters, observer);
    parameters->AddInterface("objects", *objects);
    observer.LoadingProgressed();
    renderLines->LoadRenderLines(renderLineNodes, *parameters);
    observer.LoadingProgressed();
    if (!loader->ProcessScript(*parameters))
        throw OrvException("Errors in script file");
    parameters->RememberLoadedValues();
    LoadSyncKeys();
    loaded = true;
}

void OrvShow::LoadSyncKeys() {
    bakedKeys.reset();
    bool named = true;
    for (const OrvSyncSettings::Name& name : syncSettings.Names()) {
        if (name.parameter.empty()) {
            diagnostics.Report(1, "Syntax error: the sync block lists one parameter name a line");
        } else if (!parameters->ParameterExists(name.parameter)) {
            parameters->ReportUnknownParameter(name.parameter);
        } else {
            continue;
        }
        diagnostics.Report(1, "script.txt", name.line, "Error on line: " + name.parameter);
        named = false;
    }
    if (!named)
        throw OrvException("Errors in script file");
    const std::string& file = syncSettings.BakedFile();
    if (file.empty() || access(scene->Files().Path(file).c_str(), F_OK) != 0)
        return; // nothing saved yet; the name is watched in debug mode all the same
    // The baked keys animate the same parameters as the timeline, after it: what they set
    // takes over from their first item on.
    bakedKeys.reset(new OrvParameterManager(diagnostics, run.Random()));
    bakedKeys->AddRecordsOf(*parameters);
    double bpm = loader->NumericValue(IOrvScriptLoader::Bpm);
    if (!OrvBakedSyncKeys::Process(scene->Files().Path(file), OrvDataFolder::Shown(file),
                                   60000.0 / bpm, *bakedKeys, diagnostics))
        throw OrvException("Errors in script file");
}

void OrvShow::Frame(unsigned position, unsigned elapsedMs) {
    if (!parameters)
        return;
    parameters->ApplyAt(position);
    if (bakedKeys)
        bakedKeys->ApplyAt(position);
    for (IOrvParameterSource* source : sources)
        source->ApplyAt(position);
    renderLines->Simulate(elapsedMs);
    renderLines->Render();
}

void OrvShow::AddParameterSource(IOrvParameterSource& source) {
    sources.push_back(&source);
}

void OrvShow::RemoveParameterSource(IOrvParameterSource& source) {
    sources.erase(std::remove(sources.begin(), sources.end(), &source), sources.end());
}

void OrvShow::Unload() {
    ReleaseGlObjects();
    loader.reset();
    loaded = false;
}

void OrvShow::ReleaseScene() {
    // The parameters point into the render lines and the objects; the lines into the objects.
    bakedKeys.reset();
    parameters.reset();
    renderLines.reset(); // deletes their framebuffers
    objects.reset();
}

void OrvShow::ReleaseGlObjects() {
    ReleaseScene();
    // Every texture and program the show made, the loading picture's included.
    scene->Textures().ReleaseAll();
    scene->Shaders().ReleaseAll();
}

std::string OrvShow::MusicName() const {
    return loader ? loader->StringValue(IOrvScriptLoader::Music) : "";
}

unsigned OrvShow::StartPosition() const {
    // Read from the digits as written, like every time in seconds: "jump: 2.01" is 2010 ms.
    return loader ? OrvScriptTime::HeaderMilliseconds(loader->NumericText(IOrvScriptLoader::Jump))
                  : 0;
}

unsigned OrvShow::EndPosition() const {
    double end = loader ? loader->NumericValue(IOrvScriptLoader::EndPosition) : 0;
    return end > 0 && end < 4294967296.0 ? static_cast<unsigned>(end) : 0;
}

unsigned OrvShow::JumpStep() const {
    double bpm = loader ? loader->NumericValue(IOrvScriptLoader::Bpm) : 0;
    double step = bpm > 0 ? std::trunc(960000.0 / bpm) : 0;
    // A bpm so small that sixteen beats outlast the clock cannot be a real show's.
    return step < 2147483647.0 ? static_cast<unsigned>(step) : 0;
}

std::string OrvShow::Title() const {
    return loader ? loader->StringValue(IOrvScriptLoader::Title) : "";
}
