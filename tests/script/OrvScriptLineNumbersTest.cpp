// Where each line of a script stands, and where its braces went wrong: what a script check
// needs to point at a line.

#include "script/OrvAsciiScriptLoader.h"

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterManager.h"
#include "base/IOrvErrorListener.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/IOrvTimelineObserver.h"
#include "script/OrvScriptTestText.h"
#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {
struct Parsed {
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader{diagnostics};
    explicit Parsed(const std::string& text) {
        std::istringstream in(text);
        loader.Parse(in);
    }
    const OrvScriptNode& Root() const { return loader.Root(); }
    // "line id" of the unclosed block, or "none".
    std::string Unclosed() const {
        const OrvScriptNode* block = loader.UnclosedBlock();
        return block ? std::to_string(block->Line()) + " " + block->ToString() : "none";
    }
};

// Hears of each line as "+N" when it starts and "-N" when it ends, and of each message
// reported as "[message]" (a message of several lines as several), in the order they come.
// Only the last megabyte is kept: a loop bomb reports millions of messages. Listens to the
// diagnostics it is given.
class Trace : public IOrvTimelineObserver, public IOrvErrorListener {
public:
    explicit Trace(OrvDiagnostics& diagnostics) : diagnostics(diagnostics) {
        previous = diagnostics.SetListener(this);
    }
    ~Trace() { diagnostics.SetListener(previous); }
    void LineStarted(const OrvScriptNode& line) override {
        Note("+" + std::to_string(line.Line()));
    }
    void LineEnded(const OrvScriptNode& line) override { Note("-" + std::to_string(line.Line())); }
    void Reported(const OrvDiagnostics::Record& record) override {
        const std::string& message = record.text;
        for (size_t at = 0; at <= message.size();) {
            size_t end = std::min(message.find('\n', at), message.size());
            Note("[" + message.substr(at, end - at) + "]");
            at = end + 1;
        }
    }
    const std::string& Text() const { return text; }

private:
    void Note(const std::string& event) {
        text += event;
        if (text.size() > (1u << 20))
            text.erase(0, text.size() / 2);
    }
    std::string text;
    OrvDiagnostics& diagnostics;
    IOrvErrorListener* previous;
};

class Box : public OrvParameterInterface {
public:
    std::string ParameterName(int index) override { return index == 0 ? "x" : ""; }
    void UpdateParameter(int, double value) override { x = value; }
    double x = -1;
};
} // namespace

TEST(OrvScriptLineNumbers, EveryNodeKnowsItsLineAndCopiesKeepIt) {
    // Blank lines, comment lines and closing lines count, though they make no node; a file
    // with Windows line ends counts the same.
    std::string text = "# a show\n"             // 1
                       "header {\n"             // 2
                       "  title: x\n"           // 3
                       "\n"                     // 4
                       "}\n"                    // 5
                       "objects {\n"            // 6
                       "  box: image a.png {\n" // 7
                       "    # the colour\n"     // 8
                       "    col.r: 1\n"         // 9
                       "  }\n"                  // 10
                       "}\n"                    // 11
                       "script {\n"             // 12
                       "  0 loop 1 2 times {\n" // 13
                       "    0 box.x = 1\n"      // 14
                       "  }\n"                  // 15
                       "  \t\n"                 // 16
                       "  40 end\n"             // 17
                       "}\n"                    // 18
                       "renderLines {\n"        // 19
                       "  screen {\n"           // 20
                       "    objects: box\n"     // 21
                       "  }\n"                  // 22
                       "}\n";                   // 23
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& variant : {text, crlf}) {
        Parsed p(variant);
        const OrvScriptNode& root = p.Root();
        EXPECT_EQ(0, root.Line());
        ASSERT_EQ(4, root.ChildCount());
        const OrvScriptNode& header = *root["header"];
        const OrvScriptNode& box = *(*root["objects"])["box"];
        const OrvScriptNode& script = *root["script"];
        const OrvScriptNode& screen = *(*root["renderLines"])["screen"];
        EXPECT_EQ(2, header.Line());
        EXPECT_EQ(3, header["title"]->Line());
        EXPECT_EQ(6, root["objects"]->Line());
        EXPECT_EQ(7, box.Line());
        EXPECT_EQ(9, box["col.r"]->Line());
        EXPECT_EQ(12, script.Line());
        EXPECT_EQ(13, script[0]->Line());
        EXPECT_EQ(14, (*script[0])[0]->Line());
        EXPECT_EQ(17, script[1]->Line());
        EXPECT_EQ(19, root["renderLines"]->Line());
        EXPECT_EQ(20, screen.Line());
        EXPECT_EQ(21, screen["objects"]->Line());
        EXPECT_EQ("none", p.Unclosed());
        EXPECT_EQ(0, p.loader.StrayBraceLine());

        // Copies, deep ones and assigned ones, keep the numbers of the whole subtree.
        OrvScriptNode copy(*root["objects"]);
        EXPECT_EQ(6, copy.Line());
        EXPECT_EQ(9, (*copy["box"])["col.r"]->Line());
        OrvScriptNode assigned;
        assigned = box;
        EXPECT_EQ(7, assigned.Line());
        EXPECT_EQ(9, assigned[0]->Line());
    }
    OrvScriptNode made("x", {"1"}, 42);
    EXPECT_EQ(42, made.Line());
    made.SetLine(7);
    EXPECT_EQ(7, made.Line());
    EXPECT_EQ(0, OrvScriptNode("x", {"1"}).Line());
}

TEST(OrvScriptLineNumbers, TheBlockMissingItsBraceIsNamed) {
    // Where the block is named, and from which line on every line is read one block too deep
    // (0: none is, as far as indentation tells).
    struct Case {
        const char* what;
        std::string text;
        std::string unclosed;
        int misplacedFrom;
    } cases[] = {
        {"an object's brace: the objects block's brace closes it, further left than its line",
         "header {\n}\nobjects {\n  a: image x.png {\n    zoom: 1\n  b: image y.png {\n  }\n}\n"
         "script {\n}\n",
         "4 a: image x.png {", 6},
        {"a loop's brace in the script block",
         "header {\n}\nscript {\n  0 loop 1 2 times {\n    0 x = 1\n  1 end\n}\nrenderLines {\n}\n",
         "4 0 loop 1 2 times {", 6},
        {"the last block's brace: nothing closed it at all",
         "header {\n}\nrenderLines {\n  screen {\n  }\n", "3 renderLines {", 0},
        {"no indentation to go by: the innermost block still open",
         "header {\n}\nobjects {\na: image x.png {\nzoom: 1\n}\nscript {\n}\n", "3 objects {", 0},
        {"tabs count as indentation too; with no line back at its level, from the brace on",
         "objects {\n\ta: image x.png {\n\t\tzoom: 1\n}\nscript {\n}\n", "2 a: image x.png {", 4},
        {"a sloppy but closed block before the open one is not blamed",
         "header {\n    bpm: 1\n      sub {\n  }\n}\nobjects {\n  a: b {\n", "7 a: b", 0},
        {"an empty block missing its brace: the next line at its level is misplaced",
         "objects {\n  a: b {\n  c: d {\n  }\n}\n", "2 a: b {", 3},
        {"the script's own brace, with a block written after it",
         "script {\n  1 end\n\nflash: who {\n  0 who.x = 1\n}\n", "1 script {", 4},
        {"every block closed", "header {\n  sub {\n  }\n}\nobjects {\n}\n", "none", 0},
    };
    for (const Case& c : cases) {
        Parsed p(c.text);
        EXPECT_EQ(c.unclosed, p.Unclosed()) << c.what;
        EXPECT_EQ(c.misplacedFrom, p.loader.MisplacedFromLine()) << c.what;
    }
    // A stray "}" at the top level ends the reading; the check names its line.
    Parsed stray("header {\n}\n}\nobjects {\n}\n");
    EXPECT_EQ(3, stray.loader.StrayBraceLine());
    EXPECT_EQ(1, stray.Root().ChildCount());
    EXPECT_EQ("none", stray.Unclosed());
}

TEST(OrvScriptLineNumbers, CheckingTheTimelineGoesOnAfterAFailedLine) {
    OrvTestFolder folder;
    std::string path =
        folder.WriteData("script.txt", OrvScriptWith("bpm: 120\n",
                                                     "0 nonsense\n"              // line 7
                                                     "1 box.x = 1\n"             // 8
                                                     "2 call twice 5\n"          // 9
                                                     "3 box.y = 2\n"             // 10
                                                     "4 loop 1 2 times {\n"      // 11
                                                     "  0 box.x = 0 to 1 in 2\n" // 12
                                                     "}\n"                       // 13
                                                     "9 end\n",                  // 14
                                                     "twice: v {\n"              // 18
                                                     "  0 box.x = v\n"           // 19
                                                     "  0 bad\n"                 // 20
                                                     "}\n"));
    // Lines 7 and 10 fail; line 8 holds box.x = 1 at 1 s; the call's first line adds a hold
    // at 2 s, its second line fails and so the call fails; the loop's second round overlaps
    // its first and fails; the end line after all that still runs.
    const std::string expected =
        "+7[Syntax error][Error on line: 0 nonsense]-7"
        "+8-8"
        "+9+19-19+20[Syntax error][Error on line: 0 bad]-20[Error on line: 2 call twice 5]-9"
        "+10[Unknown parameter: box.y][Did you mean:][][box.x][Error on line: 3 box.y = 2]-10"
        "+11+12-12+12[Envelope defined already to this section of time]"
        "[Error on line: 0 box.x = 0 to 1 in 2]-12[Error on line: 4 loop 1 2 times]-11"
        "+14-14";
    {
        OrvDiagnostics diagnostics;
        OrvRandom random;
        OrvAsciiScriptLoader loader(diagnostics);
        ASSERT_TRUE(loader.Load(path.c_str()));
        Box box;
        OrvParameterManager parameters(diagnostics, random);
        parameters.AddInterface("box", box);
        Trace trace(diagnostics);
        EXPECT_FALSE(loader.CheckScript(parameters, trace));
        EXPECT_EQ(expected, trace.Text());
        EXPECT_EQ(9000.0, loader.NumericValue(IOrvScriptLoader::EndPosition));
        parameters.UpdateParameters(1500);
        EXPECT_EQ(1.0, box.x);
        parameters.UpdateParameters(2500);
        EXPECT_EQ(5.0, box.x); // the call's good line, before its bad one
    }
    {
        // Playing stops the script block at its first failed line, as it always did.
        OrvDiagnostics diagnostics;
        OrvRandom random;
        OrvAsciiScriptLoader loader(diagnostics);
        ASSERT_TRUE(loader.Load(path.c_str()));
        Box box;
        OrvParameterManager parameters(diagnostics, random);
        parameters.AddInterface("box", box);
        EXPECT_FALSE(loader.ProcessScript(parameters));
        EXPECT_EQ("Syntax error\nError on line: 0 nonsense\n", diagnostics.Text());
        EXPECT_EQ(0.0, loader.NumericValue(IOrvScriptLoader::EndPosition));
        parameters.UpdateParameters(1500);
        EXPECT_EQ(-1.0, box.x);
    }
}

TEST(OrvScriptLineNumbers, CheckingStillStopsAtTheLimits) {
    // A block that calls itself fails at the depth limit once per level, and the lines after
    // the call are still checked; the limit on the number of lines ends everything at once.
    OrvTestFolder folder;
    std::string path =
        folder.WriteData("script.txt", OrvScriptWith("bpm: 120\n", "0 call self\n1 nonsense\n",
                                                     "self {\n  0 call self\n}\n"));
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvAsciiScriptLoader loader(diagnostics);
    ASSERT_TRUE(loader.Load(path.c_str()));
    OrvParameterManager parameters(diagnostics, random);
    Trace trace(diagnostics);
    EXPECT_FALSE(loader.CheckScript(parameters, trace));
    const std::string& text = trace.Text();
    EXPECT_NE(std::string::npos, text.find("[Loops and calls nested more than 64 levels deep"))
        << text;
    EXPECT_NE(std::string::npos, text.find("+8[Syntax error][Error on line: 1 nonsense]-8"))
        << text.substr(text.size() > 200 ? text.size() - 200 : 0);

    // Millions of failing rounds: the bomb goes off in a child process, so a check that never
    // stopped could not hang or exhaust this one. Its exit code says what it saw.
    std::string bomb = folder.WriteData(
        "script.txt", OrvScriptWith("bpm: 120\n", "0 loop 1 3000 times {\n  0 loop 1 3000 times {\n"
                                                  "    0 nonsense\n  }\n}\n1 also nonsense\n"));
    OrvChildProcess child([&bomb]() {
        OrvDiagnostics bombDiagnostics;
        OrvRandom bombRandom;
        OrvAsciiScriptLoader bombLoader(bombDiagnostics);
        if (!bombLoader.Load(bomb.c_str()))
            return 2;
        OrvParameterManager none(bombDiagnostics, bombRandom);
        Trace bombTrace(bombDiagnostics);
        if (bombLoader.CheckScript(none, bombTrace))
            return 3;
        if (bombTrace.Text().find("[Script too long: ") == std::string::npos)
            return 4;
        if (bombTrace.Text().find("also nonsense") != std::string::npos)
            return 5; // checked past the limit
        return 0;
    });
    ASSERT_TRUE(child.Wait(60000));
    EXPECT_EQ(0, child.ExitCode());
}
