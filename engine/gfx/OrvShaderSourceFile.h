#ifndef ORV_GFX_ORVSHADERSOURCEFILE_H
#define ORV_GFX_ORVSHADERSOURCEFILE_H

// Reads a GLSL source file as the lines the shader manager compiles.
//
// Line rules:
// - The file is split at line feeds; a carriage return just before a line feed is dropped,
//   so files saved with Windows line ends read like Unix ones.
// - The text after the last line feed is one more line, so a file that ends with a line break
//   gives a last, empty line, and an empty file gives one empty line.
// - Lines may be of any length.
// The lines come without their line breaks; whoever compiles them adds the breaks back.
//
// Only regular files count: a missing file, a folder, a device or an unreadable file cannot
// be opened. Paths are used as given (callers resolve data-folder names first).

#include <deque>
#include <string>

class OrvShaderSourceFile {
public:
    // True when the path names a regular file that can be opened for reading.
    static bool CanOpen(const std::string& path);
    // Replaces `lines` with the file's lines; false (lines untouched) when it can't be read.
    static bool ReadLines(const std::string& path, std::deque<std::string>& lines);
};

#endif
