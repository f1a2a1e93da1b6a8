// Particle systems, every frame.
//   BM_ParticlesUpdate/N:   Update(16 ms) of a system of N particles (1,000, 10,000, 100,000)
//                           with gravity, air resistance, one attractor, the walls of a box and
//                           the refill of the expired ones. Figure: ns per particle.
//   BM_ParticlesDraw*/10000: drawing 10,000 camera-facing squares, three ways side by side:
//     Each    one matrix and one immediate-mode quad per particle (the old way, the baseline);
//     Batched OrvObjectParticles::Draw, corners built on the CPU, one draw per run of
//             particles that share a texture;
//     Sorted  the same in drawingMode 1, which also sorts the pool far to near.
//   The "/2" variants give the particles two textures, drawn at random.
//   BM_ParticlesDrawSortedTextures/10000: sorted particles with one texture and with two, side
//     by side in one process, and their ratio (two / one), with the draw calls of the two.
// Figures: microseconds per frame and heap allocations per frame (must be 0 once the pool is
// sized). The draw benchmarks need an X display:
//   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/benchmarks/bench_particles

#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"
#include "scene/OrvObjectParticles.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvAllocationCounter.h"
#include "support/OrvParticleQuadDraw.h"

#include "OrvBenchWindow.h"
#include "platform/OrvGlWindow.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

// After epoxy, which stands in for GL/gl.h.
#include <GL/glu.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

// What the systems of this program share, as one show's objects do: the diagnostics, the run
// (random numbers), the scene (the textures "*one" and "*two") and the camera's eye.
struct Show {
    OrvDiagnostics diagnostics;
    OrvRunContext run{"./", diagnostics};
    OrvSceneContext scene{run, diagnostics};
    OrvCameraEye eye;
    OrvDrawPass pass{640, 480, eye};
};

Show& TheShow() {
    static Show show;
    return show;
}

// A particle system from the lines of its block.
std::unique_ptr<OrvObjectParticles> MakeSystem(const std::string& block) {
    OrvAsciiScriptLoader loader(TheShow().diagnostics);
    std::istringstream in("fx: particles {\n" + block + "}\n");
    loader.Parse(in);
    std::unique_ptr<OrvObjectParticles> system(new OrvObjectParticles(TheShow().scene));
    system->Init(*loader.Root()["fx"]);
    return system;
}

void BM_ParticlesUpdate(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::unique_ptr<OrvObjectParticles> fx =
        MakeSystem(" box: -20 0 -20 20 40 20\n"
                   " attractor {\n  pos: 0 10 0\n }\n"
                   " emitter {\n  radius: 1\n  lifeTime: 1 3\n  dir.x: -2 2\n  dir.y: 5 10\n"
                   "  dir.z: -2 2\n  airResistance: 0.01\n  elasticity: 0.5\n"
                   "  rotationSpeed: -90 90\n }\n");
    fx->UpdateParameter(0, count);
    fx->Gravity().vector.y = -9.8;
    for (int i = 0; i < 200; ++i) // past the first wave of expiries
        fx->Update(16);
    unsigned long allocated = 0;
    double particles = 0;
    double nanoseconds = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        fx->Update(16);
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
        particles += static_cast<double>(fx->Particles().size());
    }
    state.counters["ns_per_particle"] = nanoseconds / particles;
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocated) / static_cast<double>(state.iterations());
}

struct Window {
    bool open = false;
    std::string error;
    Window() {
        static OrvGlWindow window;
        if (!OrvBenchWindow::Open(window, 640, 480)) {
            error = "no OpenGL window";
            return;
        }
        TheShow().scene.Textures().InitAsRGBABuffer("*one", 8, 8);
        TheShow().scene.Textures().InitAsRGBABuffer("*two", 8, 8);
        open = true;
    }
};

Window& TheWindow() {
    static Window window;
    return window;
}

// The camera of every draw benchmark: 20 units out, looking at the origin.
void SetCamera() {
    OrvVector3 position(0, 2, 20), target(0, 0, 0), up(0, 1, 0);
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluPerspective(45, 640.0 / 480.0, 0.1, 100);
    gluLookAt(position.x, position.y, position.z, target.x, target.y, target.z, up.x, up.y, up.z);
    OrvCameraEye& eye = TheShow().eye;
    eye.position = position;
    eye.target = target;
    eye.up = up;
}

// The baseline: one matrix and one quad per particle.
void DrawEachParticle(OrvObjectParticles& fx, bool sorted) {
    glDisable(GL_LIGHTING);
    OrvGlState::SetBlend(sorted ? OrvGlState::BlendAlpha : OrvGlState::BlendAdd);
    glDepthMask(sorted ? GL_TRUE : GL_FALSE);
    const OrvCameraEye& eye = TheShow().eye;
    OrvDrawEachParticle(fx, eye.position, eye.up);
}

enum Way { Each, Batched, Sorted };

void RunDraw(benchmark::State& state, Way way) {
    Window& window = TheWindow();
    if (!window.open) {
        state.SkipWithError(window.error.c_str());
        return;
    }
    const int count = static_cast<int>(state.range(0));
    const bool textured = state.range(1) == 2;
    std::unique_ptr<OrvObjectParticles> fx =
        MakeSystem(std::string(textured ? " textures: *one *two\n" : "") +
                   " emitter {\n  radius: 0 6\n  lifeTime: 0\n  size: 0.05 0.15\n"
                   "  rotation: 0 360\n  color.r: 0.2 1\n  color.a: 0.3 0.8\n }\n");
    fx->UpdateParameter(0, count);
    fx->UpdateParameter(2, way == Sorted ? 1 : 0);
    fx->Update(16);
    SetCamera();
    glClearColor(0, 0, 0, 0);
    auto frame = [&]() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        if (way == Each)
            DrawEachParticle(*fx, false);
        else
            fx->Draw(TheShow().pass);
        glPopAttrib();
    };
    for (int f = 0; f < 3; ++f) // the software renderer compiles its states
        frame();
    glFinish();
    unsigned long allocated = 0;
    double nanoseconds = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        frame();
        glFinish();
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["us_per_frame"] = nanoseconds / frames / 1000.0;
    state.counters["allocations_per_frame"] = static_cast<double>(allocated) / frames;
}

// Sorted particles with one texture and with two, side by side in one process: two textures
// draw in one call like one (OrvParticleBatch's one-draw program), so the ratio should be
// about 1; drawn in runs, one per change of texture in back-to-front order, it was 3 to 8.
void BM_ParticlesDrawSortedTextures(benchmark::State& state) {
    Window& window = TheWindow();
    if (!window.open) {
        state.SkipWithError(window.error.c_str());
        return;
    }
    const int count = static_cast<int>(state.range(0));
    std::unique_ptr<OrvObjectParticles> systems[2];
    for (int t = 0; t < 2; ++t) {
        systems[t] =
            MakeSystem(std::string(t == 0 ? " textures: *one\n" : " textures: *one *two\n") +
                       " emitter {\n  radius: 0 6\n  lifeTime: 0\n  size: 0.05 0.15\n"
                       "  rotation: 0 360\n  color.r: 0.2 1\n  color.a: 0.3 0.8\n }\n");
        systems[t]->UpdateParameter(0, count);
        systems[t]->UpdateParameter(2, 1);
        systems[t]->Update(16);
    }
    SetCamera();
    glClearColor(0, 0, 0, 0);
    double nanoseconds[2] = {0, 0};
    std::size_t calls[2] = {0, 0};
    auto frame = [&](int t) {
        auto begin = std::chrono::steady_clock::now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        systems[t]->Draw(TheShow().pass);
        glPopAttrib();
        glFinish();
        nanoseconds[t] +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        calls[t] = systems[t]->DrawCallCount();
    };
    for (int f = 0; f < 3; ++f) // the software renderer compiles its states
        for (int t = 0; t < 2; ++t)
            frame(t);
    nanoseconds[0] = nanoseconds[1] = 0;
    for (auto _ : state) {
        frame(0);
        frame(1);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["one_texture_ms"] = nanoseconds[0] / frames / 1e6;
    state.counters["two_textures_ms"] = nanoseconds[1] / frames / 1e6;
    state.counters["ratio_two_over_one"] = nanoseconds[0] > 0 ? nanoseconds[1] / nanoseconds[0] : 0;
    state.counters["draw_calls_two"] = static_cast<double>(calls[1]);
}

void BM_ParticlesDrawEach(benchmark::State& state) {
    RunDraw(state, Each);
}
void BM_ParticlesDrawBatched(benchmark::State& state) {
    RunDraw(state, Batched);
}
void BM_ParticlesDrawSorted(benchmark::State& state) {
    RunDraw(state, Sorted);
}

} // namespace

BENCHMARK(BM_ParticlesUpdate)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParticlesDrawEach)->Args({10000, 0})->Args({10000, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticlesDrawBatched)
    ->Args({10000, 0})
    ->Args({10000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticlesDrawSorted)
    ->Args({10000, 0})
    ->Args({10000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParticlesDrawSortedTextures)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
