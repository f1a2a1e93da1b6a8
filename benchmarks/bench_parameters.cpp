// Parameter animation at show scale: 10,000 parameters (2,500 colour blocks), 100 envelope
// items each. Reports nanoseconds per parameter per frame for playback forward at 60 frames
// per second, for playback backwards (every frame a step back), and for random seeks; and
// the time to register the parameters and attach 100,000 items by name.

#include "parameters/OrvColorParameter.h"
#include "parameters/OrvParameterManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

const int Blocks = 2500; // four parameters each
const int Parameters = Blocks * 4;
const int ItemsPerParameter = 100;
const unsigned int ItemSpacing = 1000; // ms between the starts of consecutive items

struct Show {
    std::vector<OrvColorParameter> colors;
    std::vector<std::string> names;
    OrvParameterManager manager;
    unsigned int length = 0;

    Show() : colors(Blocks) {
        for (int b = 0; b < Blocks; ++b) {
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "object%d.col", b);
            manager.AddInterface(prefix, colors[b]);
        }
        for (int p = 0; p < Parameters; ++p)
            names.push_back(manager.FullName(p));
    }

    // Item k of every parameter, in the order a script lists its timeline. The four kinds take
    // turns; the random ones are long, so they draw a new value on every frame.
    void AddItems(int firstItem, int itemCount) {
        for (int k = firstItem; k < firstItem + itemCount; ++k) {
            for (int p = 0; p < Parameters; ++p) {
                unsigned int start = k * ItemSpacing + (p % 10) * 37;
                switch ((p + k) % 4) {
                case 0:
                    manager.AddLinearParameterFade(names[p], start, 700, 0, k);
                    break;
                case 1:
                    manager.AddCatmullRomSpline(names[p], start, 900, 0, 1, 2, k);
                    break;
                case 2:
                    manager.AddParameterHold(names[p], start, k);
                    break;
                default:
                    manager.AddRandom(names[p], start, 500, k, 0);
                    break;
                }
                unsigned int end = start + 900;
                if (end > length)
                    length = end;
            }
        }
    }
};

Show& FullShow() {
    static Show* show = nullptr;
    if (!show) {
        show = new Show();
        show->AddItems(0, ItemsPerParameter);
    }
    return *show;
}

void ReportPerParameter(benchmark::State& state, double nanoseconds, double updates) {
    state.counters["ns_per_param_frame"] = nanoseconds / (updates * Parameters);
}

void BM_UpdateForward60fps(benchmark::State& state) {
    Show& show = FullShow();
    unsigned int frames = show.length * 60 / 1000 + 1;
    double nanoseconds = 0, updates = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        for (unsigned int f = 0; f < frames; ++f)
            show.manager.UpdateParameters(f * 1000 / 60);
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        updates += frames;
    }
    benchmark::DoNotOptimize(show.colors[7].r);
    ReportPerParameter(state, nanoseconds, updates);
    state.counters["frames"] = frames;
}

void BM_UpdateBackward60fps(benchmark::State& state) {
    Show& show = FullShow();
    unsigned int frames = show.length * 60 / 1000 + 1;
    double nanoseconds = 0, updates = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        for (unsigned int f = frames; f-- > 0;)
            show.manager.UpdateParameters(f * 1000 / 60);
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        updates += frames;
    }
    benchmark::DoNotOptimize(show.colors[7].r);
    ReportPerParameter(state, nanoseconds, updates);
}

void BM_UpdateRandomSeeks(benchmark::State& state) {
    Show& show = FullShow();
    const int seeks = 500;
    uint32_t lcg = 2024;
    double nanoseconds = 0, updates = 0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        for (int s = 0; s < seeks; ++s) {
            lcg = lcg * 1664525u + 1013904223u;
            show.manager.UpdateParameters((lcg >> 8) % (show.length + 1000));
        }
        nanoseconds +=
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - begin)
                .count();
        updates += seeks;
    }
    benchmark::DoNotOptimize(show.colors[7].r);
    ReportPerParameter(state, nanoseconds, updates);
}

// Registering 10,000 parameters and attaching 100,000 items by name: what loading a script
// costs the parameter side. Tearing the show down is not counted.
void BM_LoadParametersAndItems(benchmark::State& state) {
    for (auto _ : state) {
        auto show = std::make_unique<Show>();
        show->AddItems(0, 10);
        state.PauseTiming();
        benchmark::DoNotOptimize(show->length);
        show.reset();
        state.ResumeTiming();
    }
    state.counters["items"] = 10.0 * Parameters;
}

} // namespace

BENCHMARK(BM_UpdateForward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateBackward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateRandomSeeks)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadParametersAndItems)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
