// Placing a compiler's log in the shader file: the log forms of the drivers, the stage's lines
// mapped back to the file's, and every line that cannot be placed kept as it was written.
// (The shader manager's tests compile real broken files and check the same through Mesa.)

#include "gfx/OrvShaderLogTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// "file:line: text", or "as written: text" for a line that was not placed.
std::vector<std::string> Placed(const OrvShaderLogTranslator& translator, const std::string& log) {
    std::vector<std::string> out;
    for (const OrvShaderLogTranslator::Record& record : translator.Translate(log)) {
        if (record.line == 0)
            out.push_back("as written: " + record.text + (record.file.empty() ? "" : " (a file)"));
        else
            out.push_back(record.file + ":" + std::to_string(record.line) + ": " + record.text);
    }
    return out;
}
} // namespace

TEST(OrvShaderLogTranslator, PlacesEachDriversFormAndKeepsTheRestAsWritten) {
    // A fragment stage of a combined file: three blank lines stand for the vertex section and
    // the section line above it; the stage's own lines are the file's lines 4 to 7.
    OrvShaderLogTranslator translator("sky.shader", {0, 0, 0, 4, 5, 6, 7});
    EXPECT_EQ((std::vector<std::string>{
                  "sky.shader:5: error: syntax error, unexpected ';'",
                  "sky.shader:7: warning: `x' used uninitialized",
                  "sky.shader:4: ERROR: 'foo' : undeclared identifier",
                  "sky.shader:6: WARNING: extension not supported",
                  "sky.shader:7: error C0000: syntax error, unexpected '}'",
                  // One source string per line: string 4, its line 1, is the stage's line 5.
                  "sky.shader:5: ERROR: 'bar' : undeclared identifier",
                  "sky.shader:6: error: in string 2",
              }),
              Placed(translator, "0:5(12): error: syntax error, unexpected ';'\n"
                                 "0:7(3): warning: `x' used uninitialized\r\n"
                                 "ERROR: 0:4: 'foo' : undeclared identifier\n"
                                 "WARNING:  0:6:  extension not supported\n"
                                 "0(7) : error C0000: syntax error, unexpected '}'\n"
                                 "ERROR: 4:1: 'bar' : undeclared identifier\n"
                                 "2:4(1): error: in string 2\n"));

    // Not placed: past the stage's end, on a line standing for the section above, line 0, a
    // number no stage has, or no place at all; blank log lines are dropped.
    EXPECT_EQ((std::vector<std::string>{
                  "as written: 0:8(1): error: syntax error, unexpected end of file",
                  "as written: 0:2(1): error: on a stand-in line",
                  "as written: 0:0(0): error: before the first line",
                  "as written: ERROR: 0:99999999999: too far",
                  "as written: error: no place",
                  "as written: 0:5 error: no column",
                  "as written: ERROR: 0:5 missing colon",
                  "as written: (5): no string",
              }),
              Placed(translator, "0:8(1): error: syntax error, unexpected end of file\n"
                                 "\n"
                                 "0:2(1): error: on a stand-in line\n"
                                 "  \t\n"
                                 "0:0(0): error: before the first line\n"
                                 "ERROR: 0:99999999999: too far\n"
                                 "error: no place\n"
                                 "0:5 error: no column\n"
                                 "ERROR: 0:5 missing colon\n"
                                 "(5): no string"));
    EXPECT_TRUE(translator.Translate("").empty());

    // A .frag file maps straight: its line 1 is the stage's line 1.
    OrvShaderLogTranslator plain("glow.frag", {1, 2, 3});
    EXPECT_EQ((std::vector<std::string>{"glow.frag:1: error: x", "glow.frag:3: error: y"}),
              Placed(plain, "0:1(1): error: x\n0:3(9): error: y\n"));
}
