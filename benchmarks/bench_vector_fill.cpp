// Drawing vector image outlines every frame: a picture of 100 closed paths of 20 cubic
// segments at density 20,000 (20 points a segment, 40,000 points a frame), each path a
// concave flower blended between two poses. Three ways side by side in one process:
//   BM_VectorSample:  the points alone (CPU), the floor under both draws;
//   BM_VectorPolygon: points, then one immediate-mode GL_POLYGON per path, the old way
//                     (wrong for concave paths: it is the baseline, not an option);
//   BM_VectorFill:    points, then OrvPathFill's stencil fill, one Begin/End per frame.
// Figures: microseconds per frame and heap allocations per frame (must be 0). Needs an X
// display: xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" build/benchmarks/bench_vector_fill

#include "gfx/OrvPathFill.h"
#include "scene/OrvVectorPathSampler.h"
#include "support/OrvAllocationCounter.h"

#include <GL/glew.h>
#include <SDL/SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

typedef OrvVectorPathSampler::Segment Segment;

const int Paths = 100;
const int SegmentsPerPath = 20;
const float Density = 20000;

struct Picture {
    bool open = false;
    std::string error;
    std::vector<Segment> poseA, poseB; // Paths x SegmentsPerPath, path by path
    std::vector<float> points;         // room for the largest path
    float phase = 0;

    Picture() {
        if (!std::getenv("DISPLAY") || SDL_Init(SDL_INIT_VIDEO) != 0) {
            error = "no X display (DISPLAY unset?)";
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        if (!SDL_SetVideoMode(640, 480, 0, SDL_OPENGL) || glewInit() != GLEW_OK) {
            error = "no OpenGL window";
            return;
        }
        // A 10 x 10 grid of flowers: 20 segments alternate between petal tips and notches.
        for (int p = 0; p < Paths; ++p) {
            float cx = 32 + 64 * float(p % 10), cy = 24 + 48 * float(p / 10);
            for (int pose = 0; pose < 2; ++pose) {
                float inner = pose ? 8.0f : 14.0f, outer = pose ? 28.0f : 22.0f;
                for (int k = 0; k < SegmentsPerPath; ++k) {
                    float a0 = 6.2831853f * float(k) / SegmentsPerPath;
                    float a1 = 6.2831853f * float(k + 1) / SegmentsPerPath;
                    float r0 = k % 2 ? inner : outer, r1 = k % 2 ? outer : inner;
                    float am = (a0 + a1) / 2;
                    Segment s{
                        cx + r0 * std::cos(a0), cy + r0 * std::sin(a0), cx + r0 * std::cos(am),
                        cy + r0 * std::sin(am), cx + r1 * std::cos(am), cy + r1 * std::sin(am),
                        cx + r1 * std::cos(a1), cy + r1 * std::sin(a1), Density};
                    (pose ? poseB : poseA).push_back(s);
                }
            }
        }
        int largest = 0;
        for (int p = 0; p < Paths; ++p) {
            int n =
                OrvVectorPathSampler::PathPointCount(&poseA[p * SegmentsPerPath], SegmentsPerPath);
            largest = n > largest ? n : largest;
        }
        points.resize(2 * std::size_t(largest));
        glViewport(0, 0, 640, 480);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        open = true;
    }

    int Sample(int path, float weight) {
        return OrvVectorPathSampler::SamplePath(&poseA[path * SegmentsPerPath],
                                                &poseB[path * SegmentsPerPath], SegmentsPerPath,
                                                weight, points.data(), int(points.size() / 2));
    }
};

Picture& ThePicture() {
    static Picture picture;
    return picture;
}

enum Way { SampleOnly, Polygon, StencilFill };

void DrawFrame(Picture& picture, Way way, int& pointCount) {
    picture.phase += 0.01f;
    float weight = OrvVectorPathSampler::MorphWeight(picture.phase);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glColor4f(0.9f, 0.5f, 0.1f, 1);
    OrvPathFill fill;
    if (way == StencilFill)
        fill.Begin();
    for (int p = 0; p < Paths; ++p) {
        int n = picture.Sample(p, weight);
        pointCount += n;
        if (way == Polygon) {
            glBegin(GL_POLYGON);
            for (int i = 0; i < n; ++i)
                glVertex2f(picture.points[2 * i], picture.points[2 * i + 1]);
            glEnd();
        } else if (way == StencilFill) {
            fill.Fill(picture.points.data(), n);
        }
    }
    if (way == StencilFill)
        fill.End();
}

void Run(benchmark::State& state, Way way) {
    Picture& picture = ThePicture();
    if (!picture.open) {
        state.SkipWithError(picture.error.c_str());
        return;
    }
    int points = 0;
    for (int f = 0; f < 3; ++f) // the software renderer compiles its states
        DrawFrame(picture, way, points);
    glFinish();
    const int frames = 50;
    double nanoseconds = 0, counted = 0;
    unsigned long allocated = 0;
    points = 0;
    for (auto _ : state) {
        unsigned long before = OrvAllocationCount();
        auto begin = std::chrono::steady_clock::now();
        for (int f = 0; f < frames; ++f)
            DrawFrame(picture, way, points);
        glFinish();
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        allocated += OrvAllocationCount() - before;
        counted += frames;
    }
    state.counters["us_per_frame"] = nanoseconds / counted / 1000.0;
    state.counters["points_per_frame"] = points / counted;
    state.counters["allocations_per_frame"] = double(allocated) / counted;
}

void BM_VectorSample(benchmark::State& state) {
    Run(state, SampleOnly);
}
void BM_VectorPolygon(benchmark::State& state) {
    Run(state, Polygon);
}
void BM_VectorFill(benchmark::State& state) {
    Run(state, StencilFill);
}

} // namespace

BENCHMARK(BM_VectorSample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorPolygon)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorFill)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
