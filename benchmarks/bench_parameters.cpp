// Parameter animation at show scale: 10,000 parameters (2,500 colour blocks), 100 envelope
// items each. Reports nanoseconds per parameter per frame for playback forward at 60 frames
// per second, for playback backwards (every frame a step back), and for random seeks; and
// the time to register the parameters and attach 100,000 items by name.
//
// The baseline runs in the same process on the same animation (100 linear fades per
// parameter): the sync tracker's layout, one contiguous array of 8-byte keys {start, value}
// per parameter, the value computed from the key found and the next. Both sides deliver their
// values the same way (UpdateParameter on each parameter's owner), so a ratio measures the
// envelopes alone:
//   ForwardVersusFlatLoop: the engine against a cursor per parameter stepping along its keys,
//     playing the whole show forward at 60 frames per second;
//   SeeksVersusBinarySearch: the engine against a binary search over the keys, 500 random
//     times.
// Each runs with the engine's items added in script order (time first, as a timeline lists
// them) and parameter by parameter. The two sides take turns every few frames or seeks and
// are measured in processor time; ratio = engine / baseline, the median over those turns.

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
        show->manager.RememberLoadedValues();
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

// The sync tracker's layout, the baseline for both the forward loop and the seeks: a key is
// 8 bytes, a start and a value, and a parameter's track is one contiguous array of keys in
// time order. From a key on, the value fades linearly to the next key's; after the last key it
// holds; before the first the parameter keeps what it had when loading was done. So a value
// is computed from the key found and the one after it, and nothing else is read.
struct TrackerKey {
    uint32_t start;
    float value;
};
static_assert(sizeof(TrackerKey) == 8, "a tracker key is 8 bytes");

// The same 10,000 parameters with 100 linear fades each, held twice: by the engine, and as
// tracker tracks. Each fade lasts until the next begins and ends at the value the next starts
// from, which is what a track of keys says; the values are small whole numbers, exact in a
// float, so both sides compute the same bits. Each side animates its own colours, so the
// values can be compared.
struct LinearShow {
    bool parameterOrder;
    std::vector<OrvColorParameter> colors;
    std::vector<OrvColorParameter> baselineColors;
    std::vector<OrvParameterInterface*> baselineOwners; // by parameter, as the manager holds them
    OrvDiagnostics diagnostics;
    OrvRandom random; // the show's own, as a run context gives it
    OrvParameterManager manager{diagnostics, random};
    std::vector<std::vector<TrackerKey>> tracks; // one per parameter, ItemsPerParameter + 1 keys
    std::vector<double> loadedValues;            // what a parameter shows before its first key
    std::vector<unsigned int> cursors;           // one per parameter, for the forward loop
    unsigned int length = 0;

    static double KeyValue(int p, int k) { return (p * 7 + k * 3) % 11; }
    static unsigned int KeyStart(int p, int k) { return k * ItemSpacing + (p % 10) * 37; }

    explicit LinearShow(bool byParameter)
        : parameterOrder(byParameter), colors(Blocks), baselineColors(Blocks), tracks(Parameters),
          loadedValues(Parameters), cursors(Parameters, 0) {
        for (int b = 0; b < Blocks; ++b) {
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "object%d.col", b);
            manager.AddInterface(prefix, colors[b]);
        }
        for (int p = 0; p < Parameters; ++p) {
            baselineOwners.push_back(&baselineColors[p / 4]);
            std::vector<TrackerKey>& keys = tracks[p];
            for (int k = 0; k <= ItemsPerParameter; ++k)
                keys.push_back(TrackerKey{KeyStart(p, k), static_cast<float>(KeyValue(p, k))});
            length = std::max(length, keys.back().start);
        }
        // The engine gets the fades either in the order a script lists its timeline (time
        // first) or parameter by parameter; where its items lie in memory while loading
        // follows that order.
        for (int i = 0; i < Parameters * ItemsPerParameter; ++i) {
            int p = parameterOrder ? i / ItemsPerParameter : i % Parameters;
            int k = parameterOrder ? i % ItemsPerParameter : i / Parameters;
            manager.AddLinearParameterFade(manager.FullName(p), KeyStart(p, k), ItemSpacing,
                                           KeyValue(p, k), KeyValue(p, k + 1));
        }
        // Loading is done, as a show says once its script is read.
        manager.RememberLoadedValues();
        for (int p = 0; p < Parameters; ++p)
            baselineOwners[p]->ReadParameter(p % 4, loadedValues[p]);
    }

    // The value from key i on: a fade to key i + 1, or the last key's value held.
    static double ValueFrom(const std::vector<TrackerKey>& keys, size_t i, unsigned int time) {
        double from = keys[i].value;
        if (i + 1 == keys.size())
            return from;
        double to = keys[i + 1].value;
        double slope = (to - from) / (keys[i + 1].start - keys[i].start);
        return from + slope * (time - keys[i].start);
    }

    void Deliver(int p, const std::vector<TrackerKey>& keys, size_t after, unsigned int time) {
        double value = after == 0 ? loadedValues[p] : ValueFrom(keys, after - 1, time);
        baselineOwners[p]->UpdateParameter(p % 4, value);
    }

    // (a) The ideal forward loop: a cursor per parameter steps along its track. The cursor is
    // the number of keys at or before the time.
    void FlatForward(unsigned int time) {
        for (int p = 0; p < Parameters; ++p) {
            const std::vector<TrackerKey>& keys = tracks[p];
            unsigned int c = cursors[p];
            while (c < keys.size() && keys[c].start <= time)
                ++c;
            cursors[p] = c;
            Deliver(p, keys, c, time);
        }
    }

    // (b) A seek, the tracker's way: a binary search over the track for the last key at or
    // before the time.
    void BinarySearchSeek(unsigned int time) {
        for (int p = 0; p < Parameters; ++p) {
            const std::vector<TrackerKey>& keys = tracks[p];
            size_t after = std::upper_bound(keys.begin(), keys.end(), time,
                                            [](unsigned int t, const TrackerKey& key) {
                                                return t < key.start;
                                            }) -
                           keys.begin();
            Deliver(p, keys, after, time);
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

// Both sides' processor time, added up, and the ratio of each stretch of play.
struct SideBySide {
    double baseline = 0;
    double engine = 0;
    double updates = 0;
    std::vector<double> ratios;
};

// One round: `times` in stretches of `stretch`; the baseline plays a stretch (as seeks, or
// forward from where it was), then the engine plays the same stretch. Taking turns often lets
// both see the same machine: on a shared one, other programs come and go within a second.
void PlayBoth(benchmark::State& state, LinearShow& show, const std::vector<unsigned int>& times,
              bool seeks, size_t stretch, SideBySide& sides) {
    std::fill(show.cursors.begin(), show.cursors.end(), 0u);
    for (size_t first = 0; first < times.size(); first += stretch) {
        size_t last = std::min(times.size(), first + stretch);
        double begin = ThreadNanoseconds();
        for (size_t i = first; i < last; ++i) {
            if (seeks)
                show.BinarySearchSeek(times[i]);
            else
                show.FlatForward(times[i]);
        }
        double middle = ThreadNanoseconds();
        for (size_t i = first; i < last; ++i)
            show.manager.UpdateParameters(times[i]);
        double end = ThreadNanoseconds();
        sides.baseline += middle - begin;
        sides.engine += end - middle;
        sides.ratios.push_back((end - middle) / (middle - begin));
    }
    sides.updates += times.size();
    if (!show.SameValues())
        state.SkipWithError("the engine and the baseline disagree");
}

// ratio: the median of the stretches' ratios, which a burst of other work on the machine
// moves least; ratio_of_totals: all the engine's time over all the baseline's.
void ReportRatio(benchmark::State& state, SideBySide& sides) {
    std::sort(sides.ratios.begin(), sides.ratios.end());
    double updates = sides.updates * Parameters;
    state.counters["engine_ns"] = sides.engine / updates;
    state.counters["baseline_ns"] = sides.baseline / updates;
    state.counters["ratio"] = sides.ratios.empty() ? 0 : sides.ratios[sides.ratios.size() / 2];
    state.counters["ratio_of_totals"] = sides.engine / sides.baseline;
}

// The whole show forward at 60 frames per second, a second of it at a time: the engine
// against the tracker's cursor loop.
void BM_ForwardVersusFlatLoop(benchmark::State& state) {
    LinearShow& show = FullLinearShow(state);
    std::vector<unsigned int> frames;
    for (unsigned int f = 0; f <= show.length * 60 / 1000; ++f)
        frames.push_back(f * 1000 / 60);
    SideBySide sides;
    for (auto _ : state)
        PlayBoth(state, show, frames, false, 60, sides);
    ReportRatio(state, sides);
}

// 500 random times per round, 25 at a time: the engine against the tracker's binary search.
void BM_SeeksVersusBinarySearch(benchmark::State& state) {
    LinearShow& show = FullLinearShow(state);
    std::vector<unsigned int> times(500);
    uint32_t lcg = 2024;
    SideBySide sides;
    for (auto _ : state) {
        for (unsigned int& time : times) {
            lcg = lcg * 1664525u + 1013904223u;
            time = (lcg >> 8) % (show.length + 1000);
        }
        PlayBoth(state, show, times, true, 25, sides);
    }
    ReportRatio(state, sides);
}

} // namespace

BENCHMARK(BM_ForwardVersusFlatLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_SeeksVersusBinarySearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_UpdateForward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateBackward60fps)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_UpdateRandomSeeks)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_LoadParametersAndItems)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
