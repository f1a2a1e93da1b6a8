// The music's analysis at load, and what following it costs a frame.
//
// AnalyseBundledTrack: the whole analysis (decoding included) of the bundled show's track,
// two minutes of Ogg Vorbis, on this one thread; beside it DecodeBundledTrack, decoding the
// same track alone, so the analysis's own share shows (analysis_over_decode). Counters: the
// hops, the curves' bytes kept for the show (retained_bytes, measured with mallinfo2 while
// the analysis lives) and the tempo found.
//
// FollowVersusLinear: 100 parameters that follow music sources next to 100 parameters with
// linear fades, the same 60 frames per second through the track, side by side in turns; the
// ratio is follow / linear (median over the turns), and allocs_per_frame counts the heap
// allocations of the follow side.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterManager.h"
#include "audio/OrvAudioStream.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "support/OrvAllocationCounter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <malloc.h>
#include <string>
#include <time.h>
#include <vector>

namespace {

const std::string Track = std::string(ORV_SHOW_DATA) + "/music.ogg";

double ThreadNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

void BM_DecodeBundledTrack(benchmark::State& state) {
    std::vector<int16_t> pcm(441 * 2);
    for (auto _ : state) {
        OrvAudioStream stream;
        if (!stream.Open(Track)) {
            state.SkipWithError("cannot open the bundled track (build show_data)");
            return;
        }
        while (!stream.Ended())
            stream.Fill(pcm.data(), 441);
        benchmark::DoNotOptimize(pcm.data());
    }
}

void BM_AnalyseBundledTrack(benchmark::State& state) {
    OrvDiagnostics diagnostics;
    double retained = 0;
    OrvMusicAnalysis* last = nullptr;
    for (auto _ : state) {
        size_t before = mallinfo2().uordblks;
        OrvMusicAnalysis* analysis = new OrvMusicAnalysis;
        if (!analysis->Analyse(Track, diagnostics, state.range(0) != 0)) {
            delete analysis;
            state.SkipWithError("cannot analyse the bundled track (build show_data)");
            return;
        }
        retained = double(mallinfo2().uordblks - before);
        delete last;
        last = analysis;
    }
    if (last) {
        state.counters["hops"] = double(last->HopCount());
        state.counters["retained_bytes"] = retained;
        state.counters["bpm"] = last->Bpm();
        state.counters["confidence"] = last->TempoConfidence();
    }
    delete last;
}

// 100 colour channels following sources, 100 fading linearly, in one manager each.
struct Side {
    std::vector<OrvColorParameter> colors{25};
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager{diagnostics, random};

    Side() {
        for (int b = 0; b < 25; ++b)
            manager.AddInterface("c" + std::to_string(b), colors[b]);
    }
};

void BM_FollowVersusLinear(benchmark::State& state) {
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    if (!analysis.Analyse(Track, diagnostics)) {
        state.SkipWithError("cannot analyse the bundled track (build show_data)");
        return;
    }
    unsigned length = unsigned(analysis.HopCount() * OrvMusicAnalysis::HopMs);
    Side follow;
    Side linear;
    analysis.RegisterSources(follow.manager);
    const std::vector<std::string>& sources = OrvMusicAnalysis::SourceNames();
    for (int p = 0; p < 100; ++p) {
        follow.manager.AddFollow(follow.manager.FullName(p), 0, sources[p % sources.size()], 0.5,
                                 0.1);
        linear.manager.AddLinearParameterFade(linear.manager.FullName(p), 0, length, 0, 1);
    }
    follow.manager.RememberLoadedValues();
    linear.manager.RememberLoadedValues();
    std::vector<unsigned> frames;
    for (unsigned f = 0; f <= length * 60 / 1000; ++f)
        frames.push_back(f * 1000 / 60);

    double followNs = 0, linearNs = 0;
    unsigned long allocations = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (size_t first = 0; first < frames.size(); first += 60) {
            size_t last = std::min(frames.size(), first + 60);
            double begin = ThreadNanoseconds();
            for (size_t i = first; i < last; ++i)
                linear.manager.UpdateParameters(frames[i]);
            double middle = ThreadNanoseconds();
            unsigned long count = OrvAllocationCount();
            for (size_t i = first; i < last; ++i)
                follow.manager.UpdateParameters(frames[i]);
            allocations += OrvAllocationCount() - count;
            double end = ThreadNanoseconds();
            linearNs += middle - begin;
            followNs += end - middle;
            ratios.push_back((end - middle) / (middle - begin));
        }
    }
    std::sort(ratios.begin(), ratios.end());
    double updates = double(frames.size()) * state.iterations();
    state.counters["follow_ns_per_frame"] = followNs / updates;
    state.counters["linear_ns_per_frame"] = linearNs / updates;
    state.counters["ratio"] = ratios.empty() ? 0 : ratios[ratios.size() / 2];
    state.counters["allocs_per_frame"] = allocations / updates;
}

} // namespace

BENCHMARK(BM_DecodeBundledTrack)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AnalyseBundledTrack)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FollowVersusLinear)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
