#include "support/OrvTestContext.h"

#include <epoxy/gl.h>

OrvTestContext::OrvTestContext(const std::string& dataFolder)
    : run(dataFolder.empty() ? std::string("./") : dataFolder, diagnostics),
      scene(run, diagnostics), pass{0, 0, eye} {}

OrvDrawPass& OrvTestContext::Pass() {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    pass.viewportWidth = viewport[2];
    pass.viewportHeight = viewport[3];
    return pass;
}

void OrvTestContext::SetSurface(int width, int height) {
    OrvDisplayFacts& display = run.Display();
    display.surfaceWidth = display.displayWidth = width;
    display.surfaceHeight = display.displayHeight = height;
    display.aspectRatio = height > 0 ? static_cast<double>(width) / height : 0;
}
