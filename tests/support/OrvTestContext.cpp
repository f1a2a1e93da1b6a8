#include "support/OrvTestContext.h"

OrvTestContext::OrvTestContext(const std::string& dataFolder)
    : run(dataFolder.empty() ? std::string("./") : dataFolder, diagnostics),
      scene(run, diagnostics) {}

void OrvTestContext::SetSurface(int width, int height) {
    OrvDisplayFacts& display = run.Display();
    display.surfaceWidth = display.displayWidth = width;
    display.surfaceHeight = display.displayHeight = height;
    display.aspectRatio = height > 0 ? static_cast<double>(width) / height : 0;
}
