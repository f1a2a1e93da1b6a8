#ifndef ORV_TESTS_SUPPORT_ORVTESTCONTEXT_H
#define ORV_TESTS_SUPPORT_ORVTESTCONTEXT_H

// What a test needs to build engine objects the way a show does: its own diagnostics, a run
// context for a data folder, and a scene context (textures, shaders, data folder, camera) of
// one show. Nothing is shared between two of them. The display facts start at 0; a test that
// draws sets the sizes it draws at (SetSurface).

#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"
#include "scene/OrvSceneContext.h"

#include <string>

class OrvTestContext {
public:
    // dataFolder: where the show's files are ("" for the working directory's).
    explicit OrvTestContext(const std::string& dataFolder = std::string());

    OrvDiagnostics diagnostics;
    OrvRunContext run;
    OrvSceneContext scene;

    // Surface and display both width x height, square pixels.
    void SetSurface(int width, int height);

    // The eye of the pass below, as a show's render lines share theirs.
    OrvCameraEye eye;
    // A pass over the viewport the test has set in OpenGL, for drawing an object directly.
    OrvDrawPass& Pass();

private:
    OrvDrawPass pass;
};

#endif
