// Loading and processing a large script: 100,000 timeline lines against 10,000 parameters.
// Run by hand: build/benchmarks/bench_script

#include "parameters/OrvParameterInterface.h"
#include "parameters/OrvParameterManager.h"
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

std::string WriteScript() {
    std::string path = "/tmp/orv-bench-script-" + std::to_string(getpid()) + ".txt";
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
    std::string path = WriteScript();
    std::vector<TenValues> owners(Objects);
    for (auto _ : state) {
        OrvParameterManager parameters;
        for (int i = 0; i < Objects; ++i) {
            std::string prefix = "o" + std::to_string(i);
            parameters.AddInterface(prefix, owners[i]);
        }
        OrvAsciiScriptLoader loader;
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

BENCHMARK_MAIN();
