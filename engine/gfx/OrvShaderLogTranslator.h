#ifndef ORV_GFX_ORVSHADERLOGTRANSLATOR_H
#define ORV_GFX_ORVSHADERLOGTRANSLATOR_H

// Turns a GLSL compiler's log into records that name the shader file and the file's own line,
// so that "0:12(21): error: syntax error" about a stage of "sky.shader" reads as line 12 of
// that file, whatever the stage. The shader manager makes one for each stage it compiles,
// from the lines it handed to the compiler; the script check lists the records.
//
// Log lines it places (S is the source string, L the line within it, C a column):
//   S:L(C): text        Mesa                  -> text
//   WORD: S:L: text     ERROR: or WARNING:    -> "WORD: text"
//   S(L) : text         NVIDIA                -> text
// The manager hands over every line of a stage as a source string of its own, so string S,
// line L is the stage's line S + L; Mesa joins the strings and always says string 0. That line
// is mapped to the file line it came from. A log line of another form, or one whose line
// stands for no line of the file (past the end of the stage, or a blank line standing for a
// section above it), is kept as it was written, with no file and line 0. Blank log lines are
// dropped.
//
// Knows nothing of OpenGL or of the diagnostics; owns copies of the file name and the map.

#include <string>
#include <vector>

class OrvShaderLogTranslator {
public:
    struct Record {
        std::string file; // the data-folder name of the shader file; empty when not placed
        int line;         // the line of that file, from 1; 0 when not placed
        std::string text; // what the compiler says about it (the whole log line when not placed)
    };

    // `fileLines[i]` is the line of `file` that the stage's line i + 1 came from; 0 for a
    // line that stands for none.
    OrvShaderLogTranslator(const std::string& file, const std::vector<int>& fileLines);

    // One record per line of the log that is not blank, in the log's order.
    std::vector<Record> Translate(const std::string& log) const;

private:
    Record TranslateLine(const std::string& line) const;
    // The file line of string `string`, line `line` of the stage; 0 when there is none.
    int FileLine(long string, long line) const;

    std::string file;
    std::vector<int> fileLines;
};

#endif
