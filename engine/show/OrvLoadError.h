#ifndef ORV_SHOW_ORVLOADERROR_H
#define ORV_SHOW_ORVLOADERROR_H

// Turns what building a script node raised into records at their places, the same way for
// playing, a reload and the script check: the message at the node's line of the script, with
// the kind and subject the error carries (OrvException); a shader that does not compile as
// "Shader compiling failed: " + the shader file's name at the node's line (with any log line
// that names no line of the file after it, as the compiler wrote it) and every other log line
// under the shader file's own name and line ("sky.shader:27: error: ...",
// OrvShaderCompileError). Anything else raised is reported with its what() at the node's
// line.
//
// Holds no state; reports into the diagnostics it is given.

#include <exception>

class OrvDiagnostics;

class OrvLoadError {
public:
    static void Report(OrvDiagnostics& diagnostics, const std::exception& error, int scriptLine);
};

#endif
