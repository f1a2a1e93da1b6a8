#include "show/OrvShow.h"

#include "animation/OrvParameterManager.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/IOrvLoadingObserver.h"
#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "base/OrvRunContext.h"
#include "gfx/OrvMusicUniforms.h"
#include "gfx/OrvShaderManager.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLine.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvBakedSyncKeys.h"
#include "script/OrvScriptNode.h"
#include "script/OrvScriptTime.h"
#include "show/IOrvShowLoadWatcher.h"
#include "show/OrvLoadError.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>

OrvShow::OrvShow(OrvRunContext& run) : OrvShow(run, run.Diagnostics()) {}

OrvShow::OrvShow(OrvRunContext& run, OrvDiagnostics& diagnostics)
    : run(run), diagnostics(diagnostics), scene(new OrvSceneContext(run, diagnostics)),
      musicAnalysis(new OrvMusicAnalysis), reusable(nullptr), loaded(false) {}

OrvShow::OrvShow(OrvRunContext& run, std::unique_ptr<OrvDiagnostics> own)
    : run(run), ownDiagnostics(std::move(own)), diagnostics(*ownDiagnostics),
      scene(new OrvSceneContext(run, diagnostics)), musicAnalysis(new OrvMusicAnalysis),
      reusable(nullptr), loaded(false) {}

OrvShow::~OrvShow() {
    Unload();
}

const OrvDataFolder& OrvShow::Files() const {
    return scene->Files();
}

IOrvScriptLoader* OrvShow::Loader() const {
    return loader.get();
}

bool OrvShow::ReadScript() {
    loader.reset(new OrvAsciiScriptLoader(diagnostics));
    syncSettings = OrvSyncSettings();
    if (loader->Load(scene->Files().Path("script.txt"), OrvDataFolder::Shown("script.txt"))) {
        syncSettings = OrvSyncSettings(loader->Root());
        return true;
    }
    diagnostics.Report(1, OrvMessageKind::CouldNotLoadScript, "", "Could not load a script file");
    return false;
}

int OrvShow::LoadingSteps() const {
    return loader ? static_cast<int>(loader->Objects().size()) + 4 : 4;
}

void OrvShow::Load(IOrvLoadingObserver& observer) {
    Build(observer, nullptr);
}

void OrvShow::LoadGoingOn(IOrvLoadingObserver& observer, IOrvShowLoadWatcher& watcher) {
    Build(observer, &watcher);
}

void OrvShow::Build(IOrvLoadingObserver& observer, IOrvShowLoadWatcher* goingOn) {
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
        throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");

    if (goingOn)
        BuildObjectsGoingOn(observer, *goingOn);
    else
        BuildObjects(observer);
    parameters->AddInterface("objects", *objects);
    observer.LoadingProgressed();
    if (goingOn)
        BuildRenderLinesGoingOn(*goingOn);
    else
        BuildRenderLines();
    observer.LoadingProgressed();
    AnalyseMusic(goingOn != nullptr); // only a check compares the tempo with the header's
    observer.LoadingProgressed();
    if (goingOn) {
        if (loader->Root()["script"]) // without one, the loader has said so
            loader->CheckScript(*parameters, *goingOn);
    } else if (!loader->ProcessScript(*parameters)) {
        throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
    }
    parameters->RememberLoadedValues();
    double bpm = loader->NumericValue(IOrvScriptLoader::Bpm);
    beatLength = bpm > 0 && std::isfinite(bpm) ? 60000.0 / bpm : 0.0;
    if (!CheckSyncNames(goingOn) && !goingOn)
        throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
    if (!goingOn) // a check does not play the saved keys
        LoadSyncKeys();
    loaded = true;
}

void OrvShow::BuildObjects(IOrvLoadingObserver& observer) {
    // What a node raises is reported at its line, as the check reports it; the load then stops
    // with the engine's summary.
    for (OrvScriptNode* node : loader->Objects()) {
        try {
            objects->LoadObject(*node, *parameters);
        } catch (const OrvException& error) {
            OrvLoadError::Report(diagnostics, error, node->Line());
            throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
        }
        observer.LoadingProgressed();
    }
}

void OrvShow::BuildRenderLines() {
    std::vector<OrvScriptNode*> nodes = loader->RenderLines();
    for (OrvScriptNode* node : nodes) {
        try {
            renderLines->LoadRenderLine(*node, *parameters);
        } catch (const OrvException& error) {
            OrvLoadError::Report(diagnostics, error, node->Line());
            throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
        }
    }
    // As the manager does once all are built: a later line may resize an earlier one's buffer.
    for (int i = 0; i < renderLines->LineCount(); ++i) {
        try {
            (*renderLines)[i]->CheckBuffer();
        } catch (const OrvException& error) {
            OrvLoadError::Report(diagnostics, error, nodes[i]->Line());
            throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
        }
    }
}

void OrvShow::BuildObjectsGoingOn(IOrvLoadingObserver& observer, IOrvShowLoadWatcher& watcher) {
    using Stage = IOrvShowLoadWatcher::Stage;
    for (OrvScriptNode* node : loader->Objects()) {
        watcher.Building(Stage::Object, node);
        try {
            objects->LoadObject(*node, *parameters);
        } catch (const std::exception& error) {
            // An object whose block had lines nobody understood is kept; one that raised
            // before that is not.
            bool kept = !node->Id().empty() && objects->Object(node->Id());
            watcher.Raised(Stage::Object, *node, error, kept);
        }
        watcher.Building(Stage::Object, nullptr);
        observer.LoadingProgressed();
    }
}

void OrvShow::BuildRenderLinesGoingOn(IOrvShowLoadWatcher& watcher) {
    using Stage = IOrvShowLoadWatcher::Stage;
    std::vector<const OrvScriptNode*> built; // the node of each line kept, in order
    for (OrvScriptNode* node : loader->RenderLines()) {
        watcher.Building(Stage::RenderLine, node);
        try {
            renderLines->LoadRenderLine(*node, *parameters);
            built.push_back(node);
        } catch (const std::exception& error) {
            watcher.Raised(Stage::RenderLine, *node, error, false);
        }
        watcher.Building(Stage::RenderLine, nullptr);
    }
    // As the manager does once all are built: a later line may resize an earlier one's buffer.
    for (int i = 0; i < renderLines->LineCount(); ++i) {
        watcher.Building(Stage::Buffer, built[i]);
        try {
            (*renderLines)[i]->CheckBuffer();
        } catch (const std::exception& error) {
            watcher.Raised(Stage::Buffer, *built[i], error, true);
        }
        watcher.Building(Stage::Buffer, nullptr);
    }
}

bool OrvShow::CheckSyncNames(IOrvShowLoadWatcher* goingOn) {
    const OrvScriptNode* block = loader->Root()["sync"];
    if (!block)
        return true;
    bool named = true;
    for (const OrvScriptNode* line : block->Children()) {
        if (!line)
            continue;
        bool lone = line->ArgsRef().empty() && line->ChildCount() == 0;
        if (lone && parameters->ParameterExists(line->Id()))
            continue;
        // Heard like a timeline line, so a check puts the messages at this line.
        if (goingOn)
            goingOn->LineStarted(*line);
        if (!lone)
            diagnostics.Report(1, "Syntax error: the sync block lists one parameter name a line");
        else
            parameters->ReportUnknownParameter(line->Id());
        diagnostics.Report(1, "script.txt", line->Line(), "Error on line: " + line->ToString());
        if (goingOn)
            goingOn->LineEnded(*line);
        named = false;
    }
    return named;
}

void OrvShow::LoadSyncKeys() {
    bakedKeys.reset();
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
        throw OrvException(OrvMessageKind::ErrorsInScript, "", "Errors in script file");
}

void OrvShow::ApplyParameters(unsigned position) {
    parameters->ApplyAt(position);
    if (bakedKeys)
        bakedKeys->ApplyAt(position);
    for (IOrvParameterSource* source : sources)
        source->ApplyAt(position);
}

void OrvShow::Frame(unsigned position, unsigned elapsedMs) {
    if (!parameters)
        return;
    ApplyParameters(position);
    OrvMusicUniforms& uniforms = scene->Shaders().MusicUniforms();
    musicAnalysis->FillUniforms(position, uniforms);
    uniforms.time = static_cast<float>(position * 0.001);
    uniforms.beat = beatLength > 0 ? static_cast<float>(position / beatLength) : 0.0f;
    renderLines->Simulate(elapsedMs);
    renderLines->Render();
}

void OrvShow::Simulate(unsigned position, unsigned elapsedMs) {
    if (!parameters)
        return;
    ApplyParameters(position);
    renderLines->Simulate(elapsedMs);
}

void OrvShow::AnalyseMusic(bool withTempo) {
    // A show without music still has the sources, all 0, so its script runs the same.
    std::string name = MusicName();
    const OrvShow* previous = reusable;
    reusable = nullptr;
    if (name.empty()) {
        musicAnalysis->Clear();
    } else if (previous && !withTempo && previous->MusicName() == name &&
               previous->musicAnalysis->Analysed()) {
        scene->Files().Path(name); // still a file the show reads: an edit of it reloads
        musicAnalysis->CopyFrom(*previous->musicAnalysis);
    } else {
        musicAnalysis->Analyse(scene->Files().Path(name), diagnostics, withTempo);
    }
    musicAnalysis->RegisterSources(*parameters);
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
