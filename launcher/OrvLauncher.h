#ifndef ORV_LAUNCHER_ORVLAUNCHER_H
#define ORV_LAUNCHER_ORVLAUNCHER_H

#include <string>

// The whole launcher: it loads the engine library from the "bin" folder beside the program
// file (never changing the working directory), resolves its three entry points, runs the show
// with the debug flag off ("Run --debug": on) and reports the engine's error log, if it holds an
// error, in a message box. So a show folder works from wherever it is started (/some/where/Run).
//
// Exit code: 1 when the library cannot be loaded or lacks an entry point, otherwise what
// OrvRun returned. The library is unloaded on every path that loaded it, after its error
// text was shown (the message box's own library, SDL, is loaded only when a box is shown, so
// the show's libraries come first, as the engine loads them).
//
// Check does the same for "Run --check" with the entry point OrvCheck alone, which prints
// what it found on standard output. It shows no message box, as checks run in terminals and
// scripts: a library that cannot be loaded or lacks OrvCheck is reported on standard error
// only, as "Critical error: " and the same text as above, with exit code 1. Otherwise the
// exit code is what OrvCheck returned.

class OrvLauncher {
public:
    static constexpr const char* LibraryFile = "libOrvEngine.so";
    // SDL, for the message box: the show's copy in bin/ first, else the system's.
    static constexpr const char* MessageBoxLibraryFile = "libSDL2-2.0.so.0";
    static constexpr const char* CriticalCaption = "Critical error";
    static constexpr const char* ErrorCaption = "Error";
    static constexpr const char* LoadFailedText = "Could not load bin/libOrvEngine.so";
    static constexpr const char* InvalidLibraryText = "libOrvEngine.so is invalid or old version";

    // Runs the sequence above once and returns the exit code.
    // debug: OrvRun's debug flag. A sync address plays through OrvRunSync instead (which
    // a library without it makes an invalid library).
    static int Run(bool debug = false, const std::string& syncAddress = std::string());
    // Checks the show (see above) and returns the exit code.
    static int Check();
    // The folder of the running program, or empty when it cannot be found.
    static std::string OwnFolder();

private:
    // bin/libOrvEngine.so beside the program (the working directory's bin/ when the program's
    // own path cannot be read); failures are left to the load that follows.
    static std::string LibraryPath();
    static std::string MessageBoxLibraryPath();
};

#endif
