// Sending animated uniforms every frame: nanoseconds per uniform per frame for a program with
// every animatable kind of uniform, and the heap allocations one frame makes (the figure must
// be 0). Runs on a real OpenGL window, so it needs an X display (under Xvfb:
// xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/benchmarks/bench_shader).

#include "animation/OrvParameterManager.h"
#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "gfx/OrvShaderManager.h"
#include "support/OrvAllocationCounter.h"

#include "OrvBenchWindow.h"
#include "platform/OrvGlWindow.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <string>

namespace {

const char* const Fragment = "uniform float brightness;\n"
                             "uniform vec2 offset;\n"
                             "uniform vec3 tint3;\n"
                             "uniform vec4 tint;\n"
                             "uniform sampler2D picture;\n"
                             "uniform int steps;\n"
                             "uniform ivec3 cells;\n"
                             "uniform bvec2 mask;\n"
                             "uniform mat4 warp;\n"
                             "void main() {\n"
                             "    gl_FragColor = vec4(brightness) + tint + vec4(tint3, 0.0)\n"
                             "        + vec4(offset, 0.0, 0.0) + texture2D(picture, vec2(0.5))\n"
                             "        + float(steps) + vec4(vec3(cells), 0.0)\n"
                             "        + (mask.y ? 1.0 : 0.0) + warp * gl_FragCoord;\n"
                             "}\n";

// The benchmark's own diagnostics, random source, data folder and shader manager: nothing is
// shared with anything else in the process.
struct Scene {
    bool open = false;
    unsigned long loadAllocations = 0; // shows that the counter sees the engine's
    OrvDiagnostics diagnostics;
    OrvRandom random;
    std::unique_ptr<OrvDataFolder> files;
    std::unique_ptr<OrvShaderManager> shaders;
    OrvShaderProgram program;
    OrvParameterManager manager{diagnostics, random};

    Scene() {
        static OrvGlWindow window;
        if (!OrvBenchWindow::Open(window, 64, 64))
            return;
        char folder[] = "/tmp/orv-bench-shader-XXXXXX";
        if (!mkdtemp(folder))
            return;
        std::string root = folder;
        std::system(("mkdir -p '" + root + "/data'").c_str());
        std::ofstream(root + "/data/bench.frag") << Fragment;
        files.reset(new OrvDataFolder(root + "/data/"));
        shaders.reset(new OrvShaderManager(*files, diagnostics));
        std::deque<std::string> names{"bench.frag"};
        unsigned long before = OrvAllocationCount();
        program = shaders->LoadShaderProgram(names, OrvShaderManager::Auto);
        loadAllocations = OrvAllocationCount() - before;
        std::system(("rm -rf '" + root + "'").c_str());
        manager.AddInterface("fx", program);
        for (int i = 0; i < manager.ParameterCount(); ++i)
            manager.AddLinearParameterFade(manager.FullName(i), 0, 60000, 0, 1);
        open = program.Handle() != 0;
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_UpdateUniforms(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.open) {
        state.SkipWithError("no OpenGL window (DISPLAY unset?) or the program did not link");
        return;
    }
    const unsigned int frames = 3600; // one minute at 60 frames per second
    double nanoseconds = 0, counted = 0;
    unsigned long allocated = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        for (unsigned int f = 0; f < frames; ++f) {
            scene.manager.UpdateParameters(f * 1000 / 60);
            scene.program.UpdateUniforms();
        }
        glFinish();
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
        counted += frames;
    }
    state.counters["load_allocations"] = double(scene.loadAllocations);
    state.counters["uniforms"] = double(scene.program.Variables().size());
    state.counters["ns_per_uniform_frame"] =
        nanoseconds / (counted * double(scene.program.Variables().size()));
    state.counters["allocations_per_frame"] = double(allocated) / counted;
}

} // namespace

BENCHMARK(BM_UpdateUniforms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

BENCHMARK_MAIN();
