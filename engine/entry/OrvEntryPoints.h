#ifndef ORV_ENTRY_ORVENTRYPOINTS_H
#define ORV_ENTRY_ORVENTRYPOINTS_H

// The functions the launcher resolves by their plain names: the three that play a show, and
// OrvCheck for "Run --check". Nothing raised inside the engine ever crosses them.

extern "C" {
// Plays one presentation from start to end; 0 when it ended normally or the user cancelled,
// 1 when loading or initialisation failed.
int OrvRun(bool debug);
// OrvRun with the sync editor's address ("HOST:PORT") that debug mode connects to; null or
// empty: localhost:1338.
int OrvRunSync(bool debug, const char* syncAddress);
// 1 when the log holds an error (severity above 0), else 0. May be called at any time.
int OrvHasError();
// The whole log text, owned by the library; valid until the next message is reported.
const char* OrvErrorMsg();
// Checks the show without playing or showing it (OrvScriptChecker) and writes what it found
// to standard output, one "script.txt:LINE: message" entry each; 0 when it found no error,
// 1 otherwise. When the check cannot run at all (no OpenGL context), the reason goes to
// standard error and the result is 1.
int OrvCheck();
}

#endif
