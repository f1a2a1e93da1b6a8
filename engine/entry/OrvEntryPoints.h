#ifndef ORV_ENTRY_ORVENTRYPOINTS_H
#define ORV_ENTRY_ORVENTRYPOINTS_H

// The three functions the launcher resolves by their plain names. Nothing raised inside the
// engine ever crosses them.

extern "C" {
// Plays one presentation from start to end; 0 when it ended normally or the user cancelled,
// 1 when loading or initialisation failed.
int OrvRun(bool debug);
// 1 when the log holds an error (severity above 0), else 0. May be called at any time.
int OrvHasError();
// The whole log text, owned by the library; valid until the next message is reported.
const char* OrvErrorMsg();
}

#endif
