#include "OrvBenchWindow.h"

#include "platform/OrvGlWindow.h"

#include <cstdlib>

bool OrvBenchWindow::Open(OrvGlWindow& window, int width, int height) {
    OrvGlWindow::Request request;
    request.width = width;
    request.height = height;
    request.vsync = false;
    request.placement =
        std::getenv("DISPLAY") ? OrvGlWindow::Placement::Screen : OrvGlWindow::Placement::Offscreen;
    return window.Open(request);
}
