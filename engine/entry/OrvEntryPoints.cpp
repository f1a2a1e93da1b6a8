#include "entry/OrvEntryPoints.h"

#include "runtime/OrvEngine.h"
#include "entry/OrvDisplayModeScreen.h"
#include "entry/OrvDisplaySettings.h"
#include "base/OrvErrorLog.h"
#include "entry/OrvScriptChecker.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace {
// A header value as a whole number of pixels; nonsense sizes count as none.
int ScriptSize(double value) {
    return value >= 1 && value < 65536 ? static_cast<int>(value) : 0;
}

// One whole run; errors raised outside the loading region land here through OrvRun's catch.
int RunOnce(bool debug) {
    OrvEngine engine;
    if (!engine.PreInit())
        return 1;
    OrvDisplaySettings& settings = OrvDisplaySettings::Shared();
    settings.SetScriptSize(ScriptSize(engine.NumericValue(IOrvScriptLoader::Width)),
                           ScriptSize(engine.NumericValue(IOrvScriptLoader::Height)));
    settings.SetVersionText(OrvEngine::Version());
    if (!OrvDisplayModeScreen::Show(debug))
        return 0;
    if (!engine.Init(settings.ChosenWidth(), settings.ChosenHeight(), settings.ChosenAspectRatio(),
                     settings.ChosenFullScreen() ? 1u : 0u))
        return 1;
    engine.SetDebug(debug);
    engine.Run();
    return 0;
}
} // namespace

extern "C" int OrvRun(bool debug) {
    int result = 1;
    // Nothing raised inside the engine may cross into the launcher: whatever escapes the
    // engine's own handling is logged as an error and the run counts as failed.
    try {
        result = RunOnce(debug);
    } catch (const std::exception& error) {
        ReportError(1, error.what());
        result = 1;
    } catch (...) {
        ReportError(1, "Unexpected error");
        result = 1;
    }
    // A run that logged only warnings (a misspelt music name, say, which plays silently) says
    // so on standard error when it ends; errors go to the launcher's message box instead.
    if (!OrvErrorLog::HasError() && !OrvErrorLog::Text().empty())
        std::fputs(OrvErrorLog::Text().c_str(), stderr);
    if (result != 0 && debug) {
        std::fputs(OrvErrorLog::Text().c_str(), stdout);
        std::fputs("\nPress enter to continue...\n", stdout);
        std::fflush(stdout);
        std::getchar();
    }
    return result;
}

extern "C" int OrvHasError() {
    return OrvErrorLog::HasError() ? 1 : 0;
}

extern "C" const char* OrvErrorMsg() {
    return OrvErrorLog::Text().c_str();
}

extern "C" int OrvCheck() {
    try {
        OrvScriptChecker checker;
        bool clean = checker.Check();
        std::fputs(checker.Report().Text().c_str(), stdout);
        std::fflush(stdout);
        if (!checker.Failure().empty())
            std::fprintf(stderr, "The show could not be checked: %s\n", checker.Failure().c_str());
        return clean ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "The show could not be checked: %s\n", error.what());
    } catch (...) {
        std::fputs("The show could not be checked\n", stderr);
    }
    return 1;
}
