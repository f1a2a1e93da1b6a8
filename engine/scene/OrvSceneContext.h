#ifndef ORV_SCENE_ORVSCENECONTEXT_H
#define ORV_SCENE_ORVSCENECONTEXT_H

// What the objects and render lines of one loaded show share: the run they belong to (its
// display facts and random source), the diagnostics their loading reports into, the show's
// data folder (which records every file read), and the show's own textures and shader
// programs.
//
// The show owns it and hands it to the object manager and the render line manager, which hand
// it to every object and render line; they keep a reference and never outlive it. It owns the
// texture and shader managers, so destroying it gives back every OpenGL texture, shader and
// program the show made (with the show's context current). Main thread only; never copied.

#include "base/OrvDataFolder.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTextureManager.h"

class OrvDiagnostics;
class OrvDisplayFacts;
class OrvRandom;
class OrvRunContext;

class OrvSceneContext {
public:
    OrvSceneContext(OrvRunContext& run, OrvDiagnostics& diagnostics);
    OrvSceneContext(const OrvSceneContext&) = delete;
    OrvSceneContext& operator=(const OrvSceneContext&) = delete;

    OrvDiagnostics& Diagnostics() { return diagnostics; }
    const OrvDataFolder& Files() const { return files; }
    const OrvDisplayFacts& Display() const;
    OrvRandom& Random();
    OrvTextureManager& Textures() { return textures; }
    OrvShaderManager& Shaders() { return shaders; }

private:
    OrvRunContext& run;
    OrvDiagnostics& diagnostics;
    OrvDataFolder files;
    OrvTextureManager textures;
    OrvShaderManager shaders;
};

#endif
