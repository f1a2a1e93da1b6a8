#include "core/OrvShow.h"

#include "core/IOrvLoadingObserver.h"
#include "core/OrvException.h"
#include "core/OrvSystemInfo.h"
#include "entry/OrvErrorLog.h"
#include "objects/OrvObjectManager.h"
#include "parameters/OrvParameterManager.h"
#include "render/OrvRenderLineManager.h"
#include "render/OrvShaderManager.h"
#include "render/OrvTextureManager.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptTime.h"

#include <cmath>

OrvShow::OrvShow() : music(new OrvMusic()), loaded(false), madeGlObjects(false), generation(0) {}

OrvShow::~OrvShow() {
    Unload();
}

bool OrvShow::ReadScript() {
    loader.reset(new OrvAsciiScriptLoader());
    std::string path = OrvSystemInfo::Instance()->DataFolder("script.txt");
    if (loader->Load(path.c_str()))
        return true;
    ReportError(1, "Could not load a script file");
    return false;
}

int OrvShow::LoadingSteps() const {
    return loader ? static_cast<int>(loader->Objects().size()) + 3 : 3;
}

void OrvShow::Load(IOrvLoadingObserver& observer, bool withMusic) {
    // Whatever an earlier load left behind goes first: a show is loaded once.
    objects.reset(new OrvObjectManager());
    renderLines.reset(new OrvRenderLineManager());
    parameters.reset(new OrvParameterManager());
    renderLines->Init(*objects);
    loaded = false;
    if (madeGlObjects)
        ReleaseGlObjects();
    madeGlObjects = true;
    generation = OrvTextureManager::Instance()->BeginGeneration();
    OrvShaderManager::Instance()->SetGeneration(generation);
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
    if (withMusic) // a show without music still plays
        music->Load(OrvSystemInfo::Instance()->DataFolder(MusicName().c_str()));
    observer.LoadingProgressed();
    parameters->RememberLoadedValues();
    loaded = true;
}

void OrvShow::Frame(unsigned position, unsigned elapsedMs) {
    if (!parameters)
        return;
    parameters->UpdateParameters(position);
    renderLines->RenderAll(elapsedMs);
}

void OrvShow::Unload() {
    music->Stop();
    // The parameters point into the render lines and the objects; the lines into the objects.
    parameters.reset();
    renderLines.reset(); // deletes their framebuffers
    objects.reset();
    // Every texture and program made since Load began, the loading picture's included.
    if (madeGlObjects)
        ReleaseGlObjects();
    loader.reset();
    loaded = false;
}

void OrvShow::ReleaseGlObjects() {
    OrvTextureManager::Instance()->ReleaseGeneration(generation);
    OrvShaderManager::Instance()->ReleaseGeneration(generation);
    madeGlObjects = false;
}

void OrvShow::AdoptMusic(OrvShow& other) {
    if (&other == this)
        return;
    music.swap(other.music);
    other.music->Stop();
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
