// Feeds arbitrary bytes to the script loader as "script.txt", then runs its timeline both ways
// the engine does: playing (stopping at the first failed line) and checking (going on), over
// a parameter manager with a few parameters and a follow source. Besides the sanitizers'
// findings, it stops on any broken promise of the reader:
//   - a message at a line of the script that the file does not have;
//   - a log past its bound (OrvDiagnostics::MaxBytes and the line that says it was cut).
// Memory is bounded as OrvFuzzMemoryBound says.
//
//   mkdir corpus-script && cp show/script.txt corpus-script/
//   build-fuzz/fuzz/fuzz_script -max_total_time=600 corpus-script

#include "OrvFuzzMemoryBound.h"

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvSampledCurve.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/IOrvTimelineObserver.h"
#include "script/OrvAsciiScriptLoader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class Box : public OrvParameterInterface {
public:
    std::string ParameterName(int index) override {
        const char* names[] = {"x", "y", "col.a"};
        return index >= 0 && index < 3 ? names[index] : "";
    }
    void UpdateParameter(int, double) override {}
};

class Watcher : public IOrvTimelineObserver {
public:
    void LineStarted(const OrvScriptNode&) override {}
    void LineEnded(const OrvScriptNode&) override {}
};

void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

const std::string& ScriptPath() {
    static const std::string path = "/tmp/fuzz_script." + std::to_string(getpid()) + ".txt";
    return path;
}

void Run(const std::string& text, bool checking) {
    long lines = 1;
    for (char c : text)
        lines += c == '\n' ? 1 : 0;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader(diagnostics);
    bool loaded = loader.Load(ScriptPath(), "script.txt");
    OrvRandom random;
    OrvParameterManager parameters(diagnostics, random);
    Box box;
    OrvSampledCurve curve;
    curve.Assign(std::vector<float>{0.0f, 1.0f, 0.5f}, 10);
    parameters.AddInterface("box", box);
    parameters.AddFollowSource("music.level", curve);
    Watcher watcher;
    if (checking)
        loader.CheckScript(parameters, watcher);
    else if (loaded)
        loader.ProcessScript(parameters);
    parameters.RememberLoadedValues();
    for (unsigned position : {0u, 500u, 4000u, 0xFFFFFFFFu})
        parameters.UpdateParameters(position);
    for (const OrvDiagnostics::Record& record : diagnostics.Records())
        if (record.file == OrvDiagnostics::ScriptFile && (record.line < 0 || record.line > lines))
            Broken("a message at a line the script does not have");
    if (diagnostics.Log().size() >
        OrvDiagnostics::MaxBytes + std::string(OrvDiagnostics::TruncatedLine).size() + 1)
        Broken("the log passed its bound");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OrvFuzzMemoryBound::AddMemoryBound(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(ScriptPath(), std::ios::binary | std::ios::trunc);
        out << text;
    }
    Run(text, false);
    Run(text, true);
    return 0;
}
