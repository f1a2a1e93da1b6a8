// Loading and processing a large script: 100,000 timeline lines against 10,000 parameters;
// substituting a called block's arguments into very long words; and calls made in a file
// with a million top-level lines.
// Run by hand: build/benchmarks/bench_script

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/OrvAsciiScriptLoader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
const int Objects = 1000;
const int ParametersPerObject = 10;
const int Lines = 100000;

class TenValues : public OrvParameterInterface {
public:
    std::string ParameterName(int index) override {
        return index >= 0 && index < ParametersPerObject ? "p" + std::to_string(index) : "";
    }
    void UpdateParameter(int index, double value) override { values[index] = value; }
    double values[ParametersPerObject] = {};
};

std::string ScriptPath() {
    return "/tmp/orv-bench-script-" + std::to_string(getpid()) + ".txt";
}

// The four required blocks around the script lines, then the extra top-level text.
std::string WriteScript(const std::string& scriptLines, const std::string& extra) {
    std::string path = ScriptPath();
    std::ofstream out(path, std::ios::binary);
    out << "header {\n  bpm: 120\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n"
        << scriptLines << "}\n"
        << extra;
    return path;
}

std::string WriteScript() {
    std::string path = ScriptPath();
    std::ofstream out(path);
    out << "header {\n  bpm: 120\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n";
    // Each parameter gets ten items, one after another in time.
    for (int i = 0; i < Lines; ++i) {
        int parameter = i % (Objects * ParametersPerObject);
        int round = i / (Objects * ParametersPerObject);
        std::string name = "o" + std::to_string(parameter / ParametersPerObject) + ".p" +
                           std::to_string(parameter % ParametersPerObject);
        double t = round * 2.0;
        switch (round % 3) {
        case 0:
            out << t << " " << name << " = " << round << "\n";
            break;
        case 1:
            out << t << " " << name << " = 0 to 1 in 1.5\n";
            break;
        default:
            out << "@" << round << ".1 " << name << " = spline 0 1 2 3 in 1\n";
        }
    }
    out << "}\n";
    return path;
}
} // namespace

static void BM_LoadAndProcessScript(benchmark::State& state) {
    OrvDiagnostics diagnostics; // the run's, kept across iterations like a run's log
    OrvRandom random;
    std::string path = WriteScript();
    std::vector<TenValues> owners(Objects);
    for (auto _ : state) {
        OrvParameterManager parameters(diagnostics, random);
        for (int i = 0; i < Objects; ++i) {
            std::string prefix = "o" + std::to_string(i);
            parameters.AddInterface(prefix, owners[i]);
        }
        OrvAsciiScriptLoader loader(diagnostics);
        bool ok = loader.Load(path.c_str()) && loader.ProcessScript(parameters);
        if (!ok)
            state.SkipWithError("the generated script did not process");
        benchmark::DoNotOptimize(ok);
    }
    std::remove(path.c_str());
    state.counters["lines"] = Lines;
    state.counters["parameters"] = Objects * ParametersPerObject;
}
BENCHMARK(BM_LoadAndProcessScript)->Unit(benchmark::kMillisecond);

// Loads a script written by WriteScript and deletes its file.
static void LoadGenerated(OrvAsciiScriptLoader& loader, const std::string& path,
                          benchmark::State& state) {
    if (!loader.Load(path.c_str()))
        state.SkipWithError("the generated script did not load");
    std::remove(path.c_str());
}

// One word of 1.6 million "1"s in a called block whose parameter "1" is given "22": every
// character is replaced and the word doubles to 3.2 million digits (a valid hold value).
static void BM_SubstituteOneKeyInALongWord(benchmark::State& state) {
    OrvDiagnostics diagnostics; // the run's, kept across iterations like a run's log
    OrvRandom random;
    const size_t length = 1600000;
    std::string path = WriteScript("0 call grow 22\n",
                                   "grow: 1 {\n  0 o0.p0 = " + std::string(length, '1') + "\n}\n");
    OrvAsciiScriptLoader loader(diagnostics);
    LoadGenerated(loader, path, state);
    TenValues owner;
    for (auto _ : state) {
        OrvParameterManager parameters(diagnostics, random);
        parameters.AddInterface("o0", owner);
        bool ok = loader.ProcessScript(parameters);
        if (!ok)
            state.SkipWithError("the substituted line failed");
        benchmark::DoNotOptimize(ok);
    }
    state.counters["word"] = static_cast<double>(length);
}
BENCHMARK(BM_SubstituteOneKeyInALongWord)->Unit(benchmark::kMillisecond);

// Parameters k01..k22, each given the next name twice: the word "k01" doubles at every key
// into 2^22 copies of "k23" (12.6 MB). It is the name of a nested call, which then fails with
// "Sub node not found", so nothing else but the substitution costs much.
static void BM_SubstituteDoublingKeys(benchmark::State& state) {
    OrvDiagnostics diagnostics; // the run's, kept across iterations like a run's log
    OrvRandom random;
    std::string names, values;
    char key[8];
    for (int i = 1; i <= 22; ++i) {
        std::snprintf(key, sizeof key, "k%02d", i);
        names += std::string(" ") + key;
        std::snprintf(key, sizeof key, "k%02d", i + 1);
        values += std::string(" ") + key + key;
    }
    std::string path = WriteScript("0 call doubling" + values + "\n",
                                   "doubling:" + names + " {\n  0 call k01\n}\n");
    OrvAsciiScriptLoader loader(diagnostics);
    LoadGenerated(loader, path, state);
    for (auto _ : state) {
        OrvParameterManager parameters(diagnostics, random);
        bool ok = loader.ProcessScript(parameters); // false: the nested call finds no block
        benchmark::DoNotOptimize(ok);
    }
    state.counters["word"] = 3.0 * (1 << 22);
}
BENCHMARK(BM_SubstituteDoublingKeys)->Unit(benchmark::kMillisecond);

// A loop of state.range(0) rounds, each calling an empty block that is written after a
// million other top-level lines. "per_call" is the whole processing time divided by the calls
// (finding the blocks once is included).
static void BM_CallAmongAMillionTopLevelLines(benchmark::State& state) {
    OrvDiagnostics diagnostics; // the run's, kept across iterations like a run's log
    OrvRandom random;
    const int topLevelLines = 1000000;
    const long long calls = state.range(0);
    std::string extra;
    for (int i = 0; i < topLevelLines; ++i)
        extra += "line" + std::to_string(i) + ": x\n";
    extra += "target {\n}\n";
    std::string path =
        WriteScript("0 loop 0 " + std::to_string(calls) + " times {\n  0 call target\n}\n", extra);
    OrvAsciiScriptLoader loader(diagnostics);
    LoadGenerated(loader, path, state);
    for (auto _ : state) {
        OrvParameterManager parameters(diagnostics, random);
        bool ok = loader.ProcessScript(parameters);
        if (!ok)
            state.SkipWithError("the calls failed");
        benchmark::DoNotOptimize(ok);
    }
    state.counters["per_call"] = benchmark::Counter(static_cast<double>(calls),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_CallAmongAMillionTopLevelLines)
    ->Arg(1000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
