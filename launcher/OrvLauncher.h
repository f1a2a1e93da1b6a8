#ifndef ORV_LAUNCHER_ORVLAUNCHER_H
#define ORV_LAUNCHER_ORVLAUNCHER_H

// The whole launcher: it moves into "bin", loads the engine library from there, resolves its
// three entry points, runs the show with the debug flag off and reports the engine's error
// log, if it holds an error, in a message box. The library is looked up relative to the
// working directory the program was started in, not to where the program file lies.
//
// Exit code: 1 when the library cannot be loaded or lacks an entry point, otherwise what
// OrvRun returned. The library is unloaded on every path that loaded it, after its error
// text was shown.

class OrvLauncher {
public:
    static constexpr const char* LibraryFile = "./libOrvEngine.so";
    static constexpr const char* CriticalCaption = "Critical error";
    static constexpr const char* ErrorCaption = "Error";
    static constexpr const char* LoadFailedText = "Could not load bin/libOrvEngine.so";
    static constexpr const char* InvalidLibraryText = "libOrvEngine.so is invalid or old version";

    // Runs the sequence above once and returns the exit code.
    static int Run();
};

#endif
