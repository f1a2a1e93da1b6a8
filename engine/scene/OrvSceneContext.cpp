#include "scene/OrvSceneContext.h"

#include "base/OrvRunContext.h"

OrvSceneContext::OrvSceneContext(OrvRunContext& run, OrvDiagnostics& diagnostics)
    : run(run), diagnostics(diagnostics), files(run.DataFolder()), textures(files),
      shaders(files, diagnostics) {}

const OrvDisplayFacts& OrvSceneContext::Display() const {
    return run.Display();
}

OrvRandom& OrvSceneContext::Random() {
    return run.Random();
}
