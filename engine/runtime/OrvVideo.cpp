#include "runtime/OrvVideo.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "script/IOrvScriptLoader.h"
#include "script/OrvScriptSize.h"

#include <epoxy/gl.h>

OrvVideo::OrvVideo(OrvRunContext& run) : run(run) {}

bool OrvVideo::Open(int width, int height, double aspectRatio, bool fullScreen,
                    IOrvScriptLoader* script) {
    OrvGlWindow::Request request;
    request.width = width;
    request.height = height;
    request.fullScreen = fullScreen;
    request.placement = OrvGlWindow::Placement::Screen;
    return OpenWith(request, aspectRatio, script);
}

bool OrvVideo::OpenOffscreen(int width, int height, IOrvScriptLoader* script) {
    OrvGlWindow::Request request;
    request.width = width;
    request.height = height;
    request.placement = OrvGlWindow::Placement::Offscreen;
    return OpenWith(request, static_cast<double>(width) / height, script);
}

bool OrvVideo::OpenWith(const OrvGlWindow::Request& asked, double aspectRatio,
                        IOrvScriptLoader* script) {
    title = script ? script->StringValue(IOrvScriptLoader::Title) : "";
    OrvGlWindow::Request request = asked;
    request.caption = title + " - Loading...";
    if (!window.Open(request)) {
        run.Diagnostics().Report(1, window.Error());
        return false;
    }
    OrvDisplayFacts& display = run.Display();
    display.aspectRatio = aspectRatio;
    display.surfaceWidth = OrvScriptSize::SurfaceWidth(script);
    display.surfaceHeight = OrvScriptSize::SurfaceHeight(script);
    display.displayWidth = window.DrawableWidth();
    display.displayHeight = window.DrawableHeight();
    shown.clear();
    SetCaption("Loading...");

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void OrvVideo::Close() {
    window.Close();
}

void OrvVideo::SetCaption(const char* text) {
    caption.assign(title);
    caption.append(" - ");
    caption.append(text);
    if (caption == shown)
        return;
    shown.assign(caption);
    window.SetCaption(caption.c_str());
}

void OrvVideo::Swap() {
    window.Swap();
}
