// Parameter animation at show scale: 10,000 parameters (2,500 colour blocks), 100 envelope
// items each. Reports nanoseconds per parameter per frame for playback forward at 60 frames
// per second, for playback backwards (every frame a step back), and for random seeks; and
// the time to register the parameters and attach 100,000 items by name.
//
// Two baselines run in the same process on the same data (100 linear fades per parameter,
// laid out flat in parameter order) and deliver their values the same way the engine does
// (UpdateParameter on each parameter's owner), so a ratio measures the envelopes alone:
//   ForwardVersusFlatLoop: the engine against a cursor per parameter stepping along one
//     contiguous array, playing the whole show forward at 60 frames per second;
//   SeeksVersusBinarySearch: the engine against std::upper_bound over contiguous starts,
//     500 random times.
// Each runs with the engine's items added in script order (time first, as a timeline lists
// them) and parameter by parameter; ratio = engine / baseline, measured in processor time.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace {

const int Blocks = 2500; // four parameters each
const int Parameters = Blocks * 4;
const int ItemsPerParameter = 100;
const unsigned int ItemSpacing = 1000; // ms between the starts of consecutive items

struct Show {
    std::vector<OrvColorParameter> colors;
    std::vector<std::string> names;
    OrvDiagnostics diagnostics;
    OrvRandom random; // the show's own, as a run context gives it
    OrvParameterManager manager{diagnostics, random};
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

// The same 10,000 parameters with 100 linear fades each, held twice: by the engine, and laid
// out flat for the two baselines. Each side animates its own colours, so the values can be
// compared.
struct FlatFade {
    unsigned int start;
    unsigned int duration;
    double from;
    double to;
    double slope;
};

struct LinearShow {
    bool parameterOrder;
    std::vector<OrvColorParameter> colors;
    std::vector<OrvColorParameter> baselineColors;
    std::vector<OrvParameterInterface*> baselineOwners; // by parameter, as the manager holds them
    OrvDiagnostics diagnostics;
    OrvRandom random; // the show's own, as a run context gives it
    OrvParameterManager manager{diagnostics, random};
    std::vector<FlatFade> fades;       // parameter p's fades at p * ItemsPerParameter
    std::vector<unsigned int> starts;  // the same layout: the keys of a plain binary search
    std::vector<unsigned int> cursors; // one per parameter, for the forward loop
    unsigned int length = 0;

    explicit LinearShow(bool byParameter)
        : parameterOrder(byParameter), colors(Blocks), baselineColors(Blocks),
          fades(size_t(Parameters) * ItemsPerParameter), starts(fades.size()),
          cursors(Parameters, 0) {
        for (int b = 0; b < Blocks; ++b) {
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "object%d.col", b);
            manager.AddInterface(prefix, colors[b]);
        }
        for (int p = 0; p < Parameters; ++p)
            baselineOwners.push_back(&baselineColors[p / 4]);
        // The engine gets the fades either in the order a script lists its timeline (time
        // first) or parameter by parameter; where its records lie in memory follows that order.
        for (int i = 0; i < Parameters * ItemsPerParameter; ++i) {
            int p = parameterOrder ? i / ItemsPerParameter : i % Parameters;
            int k = parameterOrder ? i % ItemsPerParameter : i / Parameters;
            unsigned int start = k * ItemSpacing + (p % 10) * 37;
            double from = p % 7, to = k;
            manager.AddLinearParameterFade(manager.FullName(p), start, 700, from, to);
            size_t at = size_t(p) * ItemsPerParameter + k;
            fades[at] = FlatFade{start, 700, from, to, (to - from) / 700u};
            starts[at] = start;
            length = std::max(length, start + 700);
        }
    }

    static double Evaluate(const FlatFade& fade, unsigned int time) {
        unsigned int elapsed = time - fade.start;
        return elapsed < fade.duration ? fade.from + fade.slope * elapsed : fade.to;
    }

    // (a) The ideal forward loop: a cursor per parameter steps along a contiguous array.
    void FlatForward(unsigned int time) {
        for (int p = 0; p < Parameters; ++p) {
            const FlatFade* first = &fades[size_t(p) * ItemsPerParameter];
            unsigned int c = cursors[p];
            while (c + 1 < unsigned(ItemsPerParameter) && first[c + 1].start <= time)
                ++c;
            cursors[p] = c;
            if (time >= first[c].start)
                baselineOwners[p]->UpdateParameter(p % 4, Evaluate(first[c], time));
        }
    }

    // (b) A seek: std::upper_bound over the contiguous starts, then the fade found.
    void BinarySearchSeek(unsigned int time) {
        for (int p = 0; p < Parameters; ++p) {
            const unsigned int* keys = &starts[size_t(p) * ItemsPerParameter];
            size_t i = std::upper_bound(keys, keys + ItemsPerParameter, time) - keys;
            if (i > 0)
                baselineOwners[p]->UpdateParameter(
                    p % 4, Evaluate(fades[size_t(p) * ItemsPerParameter + i - 1], time));
        }
    }

    bool SameValues() const {
        for (int b = 0; b < Blocks; ++b) {
            const OrvColorParameter &x = colors[b], &y = baselineColors[b];
            if (x.r != y.r || x.g != y.g || x.b != y.b || x.a != y.a)
                return false;
        }
        return true;
    }
};

// One show at a time: each holds about a hundred megabytes.
LinearShow& FullLinearShow(benchmark::State& state) {
    static std::unique_ptr<LinearShow> show;
    bool parameterOrder = state.range(0) != 0;
    if (!show || show->parameterOrder != parameterOrder) {
        show.reset();
        show = std::make_unique<LinearShow>(parameterOrder);
    }
    state.SetLabel(parameterOrder ? "added by parameter" : "added in script order");
    return *show;
}

// Processor time of this thread in nanoseconds: the machine may be shared, and time spent
// waiting for a core must not land on one side of a ratio.
double ThreadNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

// One round: the baseline plays `times` (as seeks, or forward from its first item), then the
// engine plays the same times; each side's processor time is added to its total. Taking turns
// lets both see the same machine load.
void PlayBoth(benchmark::State& state, LinearShow& show, const std::vector<unsigned int>& times,
              bool seeks, double& baseline, double& engine) {
    std::fill(show.cursors.begin(), show.cursors.end(), 0u);
    double begin = ThreadNanoseconds();
    for (unsigned int time : times) {
        if (seeks)
            show.BinarySearchSeek(time);
        else
            show.FlatForward(time);
    }
    double middle = ThreadNanoseconds();
    for (unsigned int time : times)
        show.manager.UpdateParameters(time);
    double end = ThreadNanoseconds();
    baseline += middle - begin;
    engine += end - middle;
    if (!show.SameValues())
        state.SkipWithError("the engine and the baseline disagree");
}

void ReportRatio(benchmark::State& state, double baseline, double engine, double updates) {
    state.counters["engine_ns"] = engine / (updates * Parameters);
    state.counters["baseline_ns"] = baseline / (updates * Parameters);
    state.counters["ratio"] = engine / baseline;
}

// The whole show forward at 60 frames per second: the engine against the flat loop.
void BM_ForwardVersusFlatLoop(benchmark::State& state) {
    LinearShow& show = FullLinearShow(state);
    std::vector<unsigned int> frames;
    for (unsigned int f = 0; f <= show.length * 60 / 1000; ++f)
        frames.push_back(f * 1000 / 60);
    double baseline = 0, engine = 0, updates = 0;
    for (auto _ : state) {
        PlayBoth(state, show, frames, false, baseline, engine);
        updates += frames.size();
    }
    ReportRatio(state, baseline, engine, updates);
}

// 500 random times per round: the engine against a plain binary search.
void BM_SeeksVersusBinarySearch(benchmark::State& state) {
    LinearShow& show = FullLinearShow(state);
    std::vector<unsigned int> times(500);
    uint32_t lcg = 2024;
    double baseline = 0, engine = 0, updates = 0;
    for (auto _ : state) {
        for (unsigned int& time : times) {
            lcg = lcg * 1664525u + 1013904223u;
            time = (lcg >> 8) % (show.length + 1000);
        }
        PlayBoth(state, show, times, true, baseline, engine);
        updates += times.size();
    }
    ReportRatio(state, baseline, engine, updates);
}

} // namespace

BENCHMARK(BM_ForwardVersusFlatLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_SeeksVersusBinarySearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_UpdateForward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateBackward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateRandomSeeks)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadParametersAndItems)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
