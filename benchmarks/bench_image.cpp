// Drawing image objects every frame: microseconds per frame and nanoseconds per image draw for
// a show of four images (a plain picture; a turned, zoomed, additive frame sequence; a
// stretched shader effect over two texture units with maximum blending; a picture of what a
// buffer line drew), and the heap allocations a frame makes (the figure must be 0). Runs on a
// real OpenGL window, so it needs an X display (under Xvfb:
// xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/benchmarks/bench_image).

#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"
#include "scene/OrvObjectImage.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvAllocationCounter.h"

#include "OrvBenchWindow.h"
#include "platform/OrvGlWindow.h"

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const Script = "objects {\n"
                           "    plain: image a.bmp\n"
                           "    turned: image a.bmp b.bmp {\n"
                           "        zoom: 0.1\n"
                           "        blend: 2\n"
                           "    }\n"
                           "    fx: image a.bmp b.bmp {\n"
                           "        stretch: 1\n"
                           "        multiTexturing: 1\n"
                           "        blend: 3\n"
                           "        shader: fx.frag\n"
                           "        shaders[0].second: 1\n"
                           "    }\n"
                           "    view: image *buffer\n"
                           "}\n"
                           "renderLines {\n"
                           "    into {\n"
                           "        output: *buffer 128 128\n"
                           "        objects: plain turned\n"
                           "    }\n"
                           "    screen {\n"
                           "        exclude: plain\n"
                           "    }\n"
                           "}\n";

const char* const Fragment = "uniform sampler2D first;\n"
                             "uniform sampler2D second;\n"
                             "uniform float brightness;\n"
                             "void main() {\n"
                             "    vec2 st = gl_TexCoord[0].st;\n"
                             "    gl_FragColor = brightness * (texture2D(first, st)\n"
                             "                                 + texture2D(second, st));\n"
                             "}\n";

const int ImageCount = 4;

// A 64 x 64 truecolor BMP of one colour.
bool WritePicture(const std::string& path, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 24, 0x0000FF, 0x00FF00, 0xFF0000, 0);
    if (!surface)
        return false;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
    bool written = SDL_SaveBMP(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return written;
}

// A temporary show folder with bin/ and data/; "" when it could not be made.
std::string MakeShowFolder() {
    char folder[] = "/tmp/orv-bench-image-XXXXXX";
    if (!mkdtemp(folder))
        return std::string();
    std::string root = folder;
    std::system(("mkdir -p '" + root + "/bin' '" + root + "/data'").c_str());
    return root;
}

struct Show {
    bool open = false;
    std::string error;
    unsigned long loadAllocations = 0; // shows that the counter sees the engine's
    std::string root = MakeShowFolder();
    OrvDiagnostics diagnostics;
    OrvRunContext run{root + "/data/", diagnostics};
    OrvSceneContext scene{run, diagnostics};
    OrvAsciiScriptLoader loader{diagnostics};
    OrvObjectManager objects{scene};
    OrvParameterManager parameters{diagnostics, run.Random()};
    OrvRenderLineManager lines{scene};

    Show() {
        static OrvGlWindow window;
        if (!OrvBenchWindow::Open(window, 256, 256)) {
            error = "no OpenGL window";
            return;
        }
        OrvDisplayFacts& display = run.Display();
        display.surfaceWidth = display.displayWidth = 256;
        display.surfaceHeight = display.displayHeight = 256;
        display.aspectRatio = 1;

        if (root.empty()) {
            error = "could not make the show folder";
            return;
        }
        std::ofstream(root + "/data/fx.frag") << Fragment;
        bool written = WritePicture(root + "/data/a.bmp", 200, 40, 40) &&
                       WritePicture(root + "/data/b.bmp", 40, 40, 200);
        if (!written) {
            error = "could not write the data folder";
            return;
        }
        try {
            std::istringstream in(Script);
            loader.Parse(in);
            unsigned long before = OrvAllocationCount();
            for (OrvScriptNode* node : loader.Root()["objects"]->Children())
                objects.LoadObject(*node, parameters);
            loadAllocations = OrvAllocationCount() - before;
            parameters.AddInterface("objects", objects);
            lines.Init(objects);
            std::vector<OrvScriptNode*> lineNodes = loader.Root()["renderLines"]->Children();
            lines.LoadRenderLines(lineNodes, parameters);
        } catch (const std::exception& failure) {
            error = failure.what();
            return;
        }
        std::system(("rm -rf '" + root + "'").c_str());

        const unsigned minute = 60000;
        for (int i = 0; i < objects.ObjectCount(); ++i)
            parameters.AddParameterHold("objects." + objects.ObjectName(i), 0, 1);
        parameters.AddLinearParameterFade("turned.rotate", 0, minute, 0, 720);
        parameters.AddLinearParameterFade("turned.frame", 0, minute, 0, 600);
        parameters.AddLinearParameterFade("turned.pos.x", 0, minute, -50, 50);
        parameters.AddLinearParameterFade("fx.shaders[0].brightness", 0, minute, 0.2, 1);
        parameters.AddLinearParameterFade("fx.col.a", 0, minute, 1, 0);
        parameters.AddLinearParameterFade("view.zoom", 0, minute, 0, 0.5);
        open = true;
    }
};

Show& TheShow() {
    static Show show;
    return show;
}

void BM_ImageFrames(benchmark::State& state) {
    Show& show = TheShow();
    if (!show.open) {
        state.SkipWithError(show.error.c_str());
        return;
    }
    for (unsigned f = 0; f < 3; ++f) // the software renderer compiles its states
        show.lines.RenderAll(16);
    const unsigned frames = 600;
    double nanoseconds = 0, counted = 0;
    unsigned long allocated = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        for (unsigned f = 0; f < frames; ++f) {
            show.parameters.UpdateParameters(f * 100);
            show.lines.RenderAll(16);
        }
        glFinish();
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
        counted += frames;
    }
    state.counters["load_allocations"] = double(show.loadAllocations);
    state.counters["us_per_frame"] = nanoseconds / counted / 1000.0;
    state.counters["allocations_per_frame"] = double(allocated) / counted;
}

// One image's Draw alone, as a render line calls it, without the rest of the frame.
void BM_ImageDraw(benchmark::State& state) {
    Show& show = TheShow();
    if (!show.open) {
        state.SkipWithError(show.error.c_str());
        return;
    }
    OrvObject* image = show.objects[static_cast<int>(state.range(0))];
    glViewport(0, 0, 256, 256);
    OrvCameraEye eye;
    OrvDrawPass pass{256, 256, eye};
    const int draws = 1000;
    double nanoseconds = 0, counted = 0;
    unsigned long allocated = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        for (int d = 0; d < draws; ++d) {
            glPushMatrix();
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            image->Draw(pass);
            glPopAttrib();
            glPopMatrix();
        }
        glFinish();
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
        counted += draws;
    }
    state.SetLabel(show.objects.ObjectName(static_cast<int>(state.range(0))));
    state.counters["ns_per_draw"] = nanoseconds / counted;
    state.counters["allocations_per_draw"] = double(allocated) / counted;
}

} // namespace

BENCHMARK(BM_ImageFrames)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ImageDraw)->DenseRange(0, ImageCount - 1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
