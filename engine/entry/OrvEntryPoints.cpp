#include "entry/OrvEntryPoints.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvOwnFolder.h"
#include "base/OrvRunContext.h"
#include "entry/OrvDisplayModeScreen.h"
#include "entry/OrvDisplaySettings.h"
#include "entry/OrvScriptChecker.h"
#include "runtime/OrvEngine.h"
#include "script/OrvScriptSize.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace {
// OrvHasError and OrvErrorMsg take no argument and answer after OrvRun has returned, so the
// library keeps what its runs reported here, the one thing the plain-function interface needs
// to outlive a run. Every run in the process adds to it; nothing else reads it.
OrvDiagnostics& RunLog() {
    static OrvDiagnostics log;
    return log;
}

// The data folder of the show this library belongs to: bin/../data/, wherever the folder was
// copied and whatever the working directory is.
std::string ShowDataFolder() {
    return OrvOwnFolder::DataBesideBin(OrvOwnFolder::Library());
}

// One whole run; errors raised outside the loading region land here through OrvRun's catch.
int RunOnce(OrvRunContext& run, bool debug, const char* syncAddress) {
    OrvEngine engine(run);
    if (!engine.PreInit())
        return 1;
    OrvDisplaySettings settings;
    settings.SetScriptSize(OrvScriptSize::Width(engine.Show().Loader()),
                           OrvScriptSize::Height(engine.Show().Loader()));
    settings.SetVersionText(OrvEngine::Version());
    int chosen = OrvDisplayModeScreen::Show(settings, run.DataFolder(), debug);
    if (chosen != OrvDisplayModeScreen::Accepted)
        return chosen; // cancelled (0), or the screen's start-up failure
    if (!engine.Init(settings.ChosenWidth(), settings.ChosenHeight(), settings.ChosenAspectRatio(),
                     settings.ChosenFullScreen() ? 1u : 0u))
        return engine.QuitRequested() ? 0 : 1;
    if (syncAddress && *syncAddress)
        engine.SetSyncAddress(syncAddress);
    engine.SetDebug(debug);
    engine.Run();
    return 0;
}
} // namespace

extern "C" int OrvRun(bool debug) {
    return OrvRunSync(debug, nullptr);
}

extern "C" int OrvRunSync(bool debug, const char* syncAddress) {
    OrvDiagnostics& log = RunLog();
    int result = 1;
    // Nothing raised inside the engine may cross into the launcher: whatever escapes the
    // engine's own handling is reported as an error and the run counts as failed.
    try {
        OrvRunContext run(ShowDataFolder(), log);
        result = RunOnce(run, debug, syncAddress);
    } catch (const std::exception& error) {
        log.Report(1, error.what());
        result = 1;
    } catch (...) {
        log.Report(1, "Unexpected error");
        result = 1;
    }
    // A run that reported only warnings (a misspelt music name, say, which plays silently)
    // says so on standard error when it ends; errors go to the launcher's message box instead.
    if (!log.HasError() && !log.Log().empty())
        std::fputs(log.Log().c_str(), stderr);
    if (result != 0 && debug) {
        std::fputs(log.Log().c_str(), stdout);
        std::fputs("\nPress enter to continue...\n", stdout);
        std::fflush(stdout);
        std::getchar();
    }
    return result;
}

extern "C" int OrvHasError() {
    return RunLog().HasError() ? 1 : 0;
}

extern "C" const char* OrvErrorMsg() {
    return RunLog().Log().c_str();
}

extern "C" int OrvCheck() {
    try {
        OrvDiagnostics diagnostics;
        OrvRunContext run(ShowDataFolder(), diagnostics);
        OrvScriptChecker checker(run);
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
