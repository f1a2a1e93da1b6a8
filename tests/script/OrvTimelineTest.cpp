#include "script/OrvAsciiScriptLoader.h"

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/OrvScriptTestText.h"
#include "script/OrvScriptTime.h"
#include "support/OrvTestFolder.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>

namespace {
// A parameter owner with the given names that remembers the last value each one received.
class Recorder : public OrvParameterInterface {
public:
    explicit Recorder(std::vector<std::string> names) : names(std::move(names)) {}
    std::string ParameterName(int index) override {
        return index >= 0 && index < static_cast<int>(names.size()) ? names[index] : "";
    }
    void UpdateParameter(int index, double value) override { values[names[index]] = value; }
    bool Has(const std::string& name) const { return values.count(name) > 0; }
    double Value(const std::string& name) const { return values.at(name); }
    void Clear() { values.clear(); }

private:
    std::vector<std::string> names;
    std::map<std::string, double> values;
};

// The objects' switches, as the object manager registers them under "objects". Reports go to
// the run's diagnostics; random items draw from a generator of the scene's own.
struct Scene {
    Recorder box{{"x", "y", "a", "b", "ab"}};
    Recorder col{{"r", "g", "b", "a"}};
    Recorder switches{{"box", "logo"}};
    OrvRandom random;
    OrvParameterManager parameters;
    explicit Scene(OrvDiagnostics& diagnostics) : parameters(diagnostics, random) {
        std::string name = "box";
        parameters.AddInterface(name, box);
        name = "box.col";
        parameters.AddInterface(name, col);
        name = "objects";
        parameters.AddInterface(name, switches);
    }
    // Value of box.<field> (or switch) at a position; NAN when it was not updated.
    double At(Recorder& owner, const char* field, unsigned position) {
        owner.Clear();
        parameters.UpdateParameters(position);
        return owner.Has(field) ? owner.Value(field) : NAN;
    }
};

// One script loaded and processed, with diagnostics of its own.
struct ScriptRun {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader{diagnostics};
    Scene scene{diagnostics};
    bool loaded = false;
    bool processed = false;
    ScriptRun(const std::string& scriptLines, const std::string& extraBlocks = "",
              const std::string& header = "bpm: 120\n") {
        std::string path =
            folder.WriteData("script.txt", OrvScriptWith(header, scriptLines, extraBlocks));
        loaded = loader.Load(path.c_str());
        if (loaded)
            processed = loader.ProcessScript(scene.parameters);
    }
    double Box(const char* field, unsigned at) { return scene.At(scene.box, field, at); }
    double Switch(const char* name, unsigned at) { return scene.At(scene.switches, name, at); }
};
} // namespace

TEST(OrvScriptTime, SyntaxAndValuesAtBpm120) {
    EXPECT_TRUE(OrvScriptTime::IsNumber("-.5"));
    EXPECT_TRUE(OrvScriptTime::IsNumber("5."));
    EXPECT_FALSE(OrvScriptTime::IsNumber("1e3"));
    EXPECT_FALSE(OrvScriptTime::IsNumber("+1"));
    EXPECT_FALSE(OrvScriptTime::IsNumber("1-2"));
    EXPECT_FALSE(OrvScriptTime::IsNumber("1.2.3"));
    EXPECT_TRUE(OrvScriptTime::IsTime("@2.1.25"));
    EXPECT_FALSE(OrvScriptTime::IsTime("@1.2.3.4"));
    EXPECT_FALSE(OrvScriptTime::IsTime("@1.x"));

    OrvScriptTime times(500.0); // bpm 120
    std::string error;
    uint32_t ms = 0;
    struct {
        const char* word;
        uint32_t ms;
    } cases[] = {{"@2", 4000},      {"@2.1", 4500},      {"@2.1.5", 4750},
                 {"@2.1.25", 4625}, {"@.2", 4000},       {"1.5", 1500},
                 {"0.0015", 1},     {"-1", 4294966296u}, {"@0.3", 1500}};
    for (const auto& c : cases) {
        ASSERT_TRUE(times.Value(c.word, ms, error)) << c.word;
        EXPECT_EQ(c.ms, ms) << c.word;
    }
    EXPECT_FALSE(times.Value("@", ms, error));
    EXPECT_EQ("Not a time: @ (write bars after the @, as in @4 or @4.2)", error);
    EXPECT_FALSE(times.Value("@..", ms, error));
    EXPECT_FALSE(times.Value(std::string(400, '9'), ms, error));
    EXPECT_EQ("Time out of range: " + std::string(400, '9'), error);
    OrvScriptTime noBpm(60000.0 / 0.0);
    EXPECT_FALSE(noBpm.Value("@1", ms, error));
    EXPECT_EQ("Time @1 is written in bars and beats, but the header has no bpm above 0", error);
    ASSERT_TRUE(noBpm.Value("2", ms, error)); // seconds need no bpm
    EXPECT_EQ(2000u, ms);
}

TEST(OrvTimeline, TheWorkedExamplesAtBpm120) {
    ScriptRun run("0 box.col.a = 0\n"
                  "1.5 box.col.a = 0 to 1 in 2\n"
                  "@4 box.x = spline 0 1 2 3 in @1\n"
                  "2 box.y = rand -1 - 1 for 0.5\n"
                  "30 disable box logo\n"
                  "10 loop 0.5 4 times {\n"
                  "  0 box.a = 7\n"
                  "}\n"
                  "12 call fadeOut box 2\n"
                  "40 end\n",
                  "fadeOut: who len {\n  0 who.b = len\n}\n");
    ASSERT_TRUE(run.loaded);
    EXPECT_TRUE(run.processed) << run.diagnostics.Text();
    EXPECT_EQ("", run.diagnostics.Text());
    Scene& s = run.scene;
    EXPECT_FLOAT_EQ(0.0, s.At(s.col, "a", 1000));
    EXPECT_FLOAT_EQ(0.5, s.At(s.col, "a", 2500));
    EXPECT_FLOAT_EQ(1.0, s.At(s.col, "a", 3500));
    EXPECT_TRUE(std::isnan(run.Box("x", 7999)));
    EXPECT_DOUBLE_EQ(1.0, run.Box("x", 8000));
    EXPECT_DOUBLE_EQ(1.5, run.Box("x", 9000));
    EXPECT_DOUBLE_EQ(2.0, run.Box("x", 10000));
    for (unsigned t = 2000; t <= 2500; t += 50) {
        double y = run.Box("y", t);
        EXPECT_GE(y, -1.0);
        EXPECT_LE(y, 1.0);
    }
    EXPECT_TRUE(std::isnan(run.Switch("box", 29999)));
    EXPECT_EQ(0.0, run.Switch("box", 30000));
    EXPECT_EQ(0.0, run.Switch("logo", 30000));
    // The loop body lands at 10000, 10500, 11000 and 11500: four holds, so 10000 is the first.
    EXPECT_TRUE(std::isnan(run.Box("a", 9999)));
    EXPECT_EQ(7.0, run.Box("a", 10000));
    EXPECT_EQ(2.0, run.Box("b", 12000));
    EXPECT_TRUE(std::isnan(run.Box("b", 11999)));
    EXPECT_EQ(40000.0, run.loader.NumericValue(IOrvScriptLoader::EndPosition));
}

TEST(OrvTimeline, LoopRoundsAndCountsAndCallOffsets) {
    ScriptRun run("10 loop 0.5 4 times {\n"
                  "  0 box.x = 0 to 1 in 0.25\n"
                  "}\n"
                  "20 loop 1 2.9 times {\n"
                  "  0 box.y = 1 to 2 in 0.5\n"
                  "}\n"
                  "30 loop 1 1 times\n"
                  "2 call later 5\n",
                  "later: v {\n  -1 box.a = v\n}\n");
    ASSERT_TRUE(run.processed) << run.diagnostics.Text();
    EXPECT_DOUBLE_EQ(0.5, run.Box("x", 10125));
    EXPECT_DOUBLE_EQ(0.5, run.Box("x", 11625)); // round 3 at 11500
    EXPECT_DOUBLE_EQ(1.0, run.Box("x", 11900));
    EXPECT_DOUBLE_EQ(1.5, run.Box("y", 21250)); // round 1 at 21000
    EXPECT_DOUBLE_EQ(2.0, run.Box("y", 40000)); // and no third round
    EXPECT_TRUE(std::isnan(run.Box("a", 999)));
    EXPECT_EQ(5.0, run.Box("a", 1000)); // -1 s inside a call at 2 s wraps back to 1 s
}

TEST(OrvTimeline, FailureMessagesInOrder) {
    struct Case {
        std::string lines;
        std::string log;
    } cases[] = {
        {"0 x=5\n", "Syntax error\nError on line: 0 x=5\n"},
        {"0 box.z = 1\n",
         "Unknown parameter: box.z\nDid you mean:\n\nbox.x\nbox.y\nbox.a\nbox.b\nbox.ab\n"
         "Error on line: 0 box.z = 1\n"},
        {"0 box.x = 0 to 1 in 1\n0.5 box.x = 3\n",
         "Envelope defined already to this section of time\nError on line: 0.5 box.x = 3\n"},
        {"0 call nowhere\n", "Sub node not found: nowhere\nError on line: 0 call nowhere\n"},
        {"0 call two 1\n", "Invalid number of arguments\nError on line: 0 call two 1\n"},
        {"1 end\n2 end\n", "End position defined multiple times.\nError on line: 2 end\n"},
        {"0 loop 1 0.5 times {\n}\n", "Error on line: 0 loop 1 0.5 times\n"},
        {"0 call bad 7\n", "Syntax error\nError on line: oops v\nError on line: 0 call bad 7\n"},
        // A failing line stops its block: the line after it is never looked at.
        {"0 nonsense\n0 also nonsense\n", "Syntax error\nError on line: 0 nonsense\n"},
        {"0 enable box ghost logo\n",
         "Unknown parameter: objects.ghost\nDid you mean:\n\nobjects.box\nobjects.logo\n"
         "Error on line: 0 enable box ghost logo\n"},
    };
    for (const Case& c : cases) {
        ScriptRun run(c.lines, "two: a b {\n}\nbad: x {\n  oops v\n}\n");
        ASSERT_TRUE(run.loaded);
        EXPECT_FALSE(run.processed) << c.lines;
        EXPECT_EQ(c.log, run.diagnostics.Text()) << c.lines;
    }
}

TEST(OrvTimeline, WordLevelEdgeRules) {
    struct Case {
        const char* line;
        bool ok;
    } cases[] = {
        {"0 box.x = rand 0-1", false},
        {"0 box.x = rand -1 - 1", true},
        {"0 box.x = 1e3", false},
        {"0 box.x = -.5", true},
        {"0 box.x = 5.", true},
        {"@1.2.3.4 box.x = 1", false},
        {"label: 0 box.x = 1", true},
        {"0 box.x = spline 0 1 2 in 1", false},
        {"0 enable", false},
        {"0 box.x = 1 to 2 in @1.5", true},
        {"0 box.x = rand 1 - 2 for 1", true},
    };
    for (const Case& c : cases) {
        ScriptRun run(std::string(c.line) + "\n");
        EXPECT_EQ(c.ok, run.processed) << c.line << "\n" << run.diagnostics.Text();
    }
    // A first word ending in a colon becomes the identifier, leaving no time.
    ScriptRun colon("0: box.x = 1\n");
    EXPECT_FALSE(colon.processed);
    EXPECT_EQ("Syntax error\nError on line: box.x = 1\n", colon.diagnostics.Text());
}

TEST(OrvTimeline, LinesWithoutArgumentsAreSyntaxErrors) {
    // A line without arguments is shown as written, not as nothing.
    ScriptRun run("lonely:\n");
    EXPECT_FALSE(run.processed);
    EXPECT_EQ("Syntax error\nError on line: lonely:\n", run.diagnostics.Text());
    ScriptRun block("block {\n}\n");
    EXPECT_FALSE(block.processed);
    EXPECT_EQ("Syntax error\nError on line: block\n", block.diagnostics.Text());
    ScriptRun brace("foo}\n");
    EXPECT_FALSE(brace.processed);
    EXPECT_EQ("Syntax error\nError on line: foo}\n", brace.diagnostics.Text());
}

TEST(OrvTimeline, ReplacementsAndEnds) {
    ScriptRun run("0 box.x = 4\n0 box.x = 0 to 10 in 1\n0 end\n5 end\n");
    ASSERT_TRUE(run.processed) << run.diagnostics.Text();
    EXPECT_DOUBLE_EQ(5.0, run.Box("x", 500)); // the fade replaced the hold
    EXPECT_EQ(5000.0, run.loader.NumericValue(IOrvScriptLoader::EndPosition));
}

TEST(OrvTimeline, SubstitutionOrderAndRepeats) {
    // Keys are applied in ascending order: "a" before "ab"; a value holding a later key is
    // substituted again by that key.
    ScriptRun run("0 call sub 7 9 box\n", "sub: a ab who {\n  0 box.ab = 1\n  0 who.y = a\n}\n"
                                          "twice: k k {\n  0 box.x = k\n}\n");
    EXPECT_FALSE(run.processed);
    EXPECT_EQ("Unknown parameter: box.7b\nDid you mean:\n\nbox.ab\nbox.x\nbox.y\nbox.a\nbox.b\n"
              "Error on line: 0 box.ab = 1\nError on line: 0 call sub 7 9 box\n",
              run.diagnostics.Text());

    ScriptRun chain("0 call chain q 3\n", "chain: p q {\n  0 box.x = p\n}\n");
    EXPECT_TRUE(chain.processed) << chain.diagnostics.Text();
    EXPECT_EQ(3.0, chain.Box("x", 0));

    ScriptRun duplicate("0 call twice 1 2\n", "twice: k k {\n  0 box.x = k\n}\n");
    EXPECT_TRUE(duplicate.processed);
    EXPECT_EQ(2.0, duplicate.Box("x", 0)); // the later duplicate name wins

    // A loop body inside a called block is not substituted.
    ScriptRun loop("0 call looped 5\n",
                   "looped: v {\n  0 loop 1 1 times {\n    0 box.x = v\n  }\n}\n");
    EXPECT_FALSE(loop.processed);
}

TEST(OrvTimeline, BarsAndBeatsWithoutUsableBpm) {
    const char* headers[] = {"", "bpm: 0\n", "bpm: -10\n", "bpm: fast\n"};
    for (const char* header : headers) {
        ScriptRun run("1 box.x = 1\n@1 box.y = 2\n", "", header);
        ASSERT_TRUE(run.loaded);
        EXPECT_FALSE(run.processed);
        EXPECT_EQ("Time @1 is written in bars and beats, but the header has no bpm above 0\n"
                  "Error on line: @1 box.y = 2\n",
                  run.diagnostics.Text());
        EXPECT_EQ(1.0, run.Box("x", 1000)); // the line before it stays attached
    }
    ScriptRun at("@ box.x = 1\n");
    EXPECT_FALSE(at.processed);
    EXPECT_EQ("Not a time: @ (write bars after the @, as in @4 or @4.2)\n"
              "Error on line: @ box.x = 1\n",
              at.diagnostics.Text());
}

TEST(OrvTimeline, SelfCallsAndLoopBombsStopWithAMessage) {
    ScriptRun self("0 call again\n", "again {\n  1 call again\n}\n");
    ASSERT_TRUE(self.loaded);
    EXPECT_FALSE(self.processed);
    const std::string& log = self.diagnostics.Text();
    EXPECT_EQ(0u, log.find("Loops and calls nested more than 64 levels deep, at the call of "
                           "block: again\n"));
    size_t lines = 0;
    for (size_t at = log.find("Error on line: "); at != std::string::npos;
         at = log.find("Error on line: ", at + 1))
        ++lines;
    EXPECT_EQ(65u, lines); // every level reports its own line

    ScriptRun bomb("0 loop 0 1000000000 times {\n  0 loop 0 1000000000 times {\n  }\n}\n");
    EXPECT_FALSE(bomb.processed);
    EXPECT_EQ("Script too long: more than 5000000 timeline lines and loop rounds after "
              "expanding loops and calls\n"
              "Error on line: 0 loop 0 1000000000 times\n"
              "Error on line: 0 loop 0 1000000000 times\n",
              bomb.diagnostics.Text());
}

TEST(OrvTimeline, HostileLinesNeverCrash) {
    std::string lines[] = {
        std::string("0 box.x = 1\0junk\n", 17),     "0 box.x = " + std::string(1000000, '9') + "\n",
        std::string(2000000, '9') + " box.x = 1\n", "\xff\xfe box.x = \xc3\n",
        "0 loop 0 99999999999999999999 times\n",    "0 call\n",
        "0 box.x = spline 1 2 3 4 in -1\n",
    };
    for (const std::string& line : lines) {
        ScriptRun run(line);
        EXPECT_TRUE(run.loaded);
    }
    ScriptRun huge("0 box.x = " + std::string(1000000, '9') + "\n");
    EXPECT_TRUE(huge.processed);
    EXPECT_TRUE(std::isinf(huge.Box("x", 0)));
}

namespace {
// "Sub node not found: " shows a nested call's word exactly as substitution left it.
std::string NotFound(const std::string& word, const std::string& innerLine,
                     const std::string& callLine) {
    return "Sub node not found: " + word + "\nError on line: " + innerLine +
           "\nError on line: " + callLine + "\n";
}

const std::string CapMessage =
    "Substituting the block's arguments makes a word longer than 16777216 characters\n";
const size_t Cap = 16u * 1024 * 1024;

// A script whose one parameter is <prefix>.x, for words too long for the 1 MiB log: the hold
// "0 <word> = 5" in a called block succeeds only when substitution makes the word exactly
// "<prefix>.x".
struct PrefixRun {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader{diagnostics};
    Recorder owner{{"x"}};
    OrvRandom random;
    OrvParameterManager parameters{diagnostics, random};
    bool processed = false;
    PrefixRun(const std::string& prefix, const std::string& scriptLines, const std::string& extra) {
        parameters.AddInterface(prefix, owner);
        std::string path =
            folder.WriteData("script.txt", OrvScriptWith("bpm: 120\n", scriptLines, extra));
        processed = loader.Load(path.c_str()) && loader.ProcessScript(parameters);
    }
    // The value the hold gave x; NAN when there is none.
    double X() {
        owner.Clear();
        parameters.UpdateParameters(0);
        return owner.Has("x") ? owner.Value("x") : NAN;
    }
};

// Parameters k01..k<keys>, each given the next name twice, and a block holding "k01.x": the
// name doubles at every key. Returns the call line; the block goes to extra.
std::string Doubling(int keys, std::string& extra) {
    std::string names, values;
    char key[8];
    for (int i = 1; i <= keys; ++i) {
        std::snprintf(key, sizeof key, "k%02d", i);
        names += std::string(" ") + key;
        std::snprintf(key, sizeof key, "k%02d", i + 1);
        values += std::string(" ") + key + key;
    }
    extra = "doubling:" + names + " {\n  0 k01.x = 5\n}\n";
    return "0 call doubling" + values;
}
} // namespace

TEST(OrvTimeline, SubstitutionRulesSeenThroughTheSubstitutedWord) {
    struct Case {
        const char* names;
        const char* values;
        const char* word;
        const char* result;
    } cases[] = {
        // (No key may occur in "0 call" itself.)
        {"pp", "x", "ppppp", "xxp"},    // occurrences do not overlap, read left to right
        {"pqp", "Y", "pqpqp", "Yqp"},   // the search goes on after the replaced key
        {"p", "pp", "pXp", "ppXpp"},    // an inserted value is not searched again by its key
        {"p q", "q p", "pq", "pp"},     // ... but by every later key
        {"pq p", "Z Q", "pqpq", "QqQq"} // "p" comes before "pq", which is then gone
    };
    for (const Case& c : cases) {
        std::string call = std::string("0 call probe ") + c.values;
        ScriptRun run(call + "\n",
                      std::string("probe: ") + c.names + " {\n  0 call " + c.word + "\n}\n");
        EXPECT_FALSE(run.processed);
        EXPECT_EQ(NotFound(c.result, std::string("0 call ") + c.word, call), run.diagnostics.Text())
            << c.word;
    }
}

TEST(OrvTimeline, DoublingKeysBuildAHugeWordUpToTheCap) {
    // 22 doublings: 2^22 copies of "k23", 12.6 MB, below the cap.
    std::string extra;
    std::string call = Doubling(22, extra);
    std::string expected;
    expected.reserve(3u << 22);
    for (int i = 0; i < (1 << 22); ++i)
        expected += "k23";
    {
        PrefixRun run(expected, call + "\n", extra);
        EXPECT_TRUE(run.processed);
        EXPECT_EQ(5.0, run.X());
        EXPECT_EQ("", run.diagnostics.Text());
    }
    // One doubling more would pass 16 MiB.
    call = Doubling(23, extra);
    ScriptRun over(call + "\n", extra);
    EXPECT_FALSE(over.processed);
    EXPECT_EQ(CapMessage + "Error on line: 0 k01.x = 5\nError on line: " + call + "\n",
              over.diagnostics.Text());
}

// In the two cap tests below the failing line is itself too long for the log, which then
// ends with its truncation line.
TEST(OrvTimeline, AGrowingWordMayReachTheCapButNotPassIt) {
    // "a" -> "bb": the word ends exactly at the cap.
    std::string exact = "cc" + std::string(Cap / 2 - 2, 'a');
    PrefixRun run("cc" + std::string(Cap - 4, 'b'), "0 call grow bb\n",
                  "grow: a {\n  0 " + exact + ".x = 5\n}\n");
    EXPECT_TRUE(run.processed);
    EXPECT_EQ(5.0, run.X());
    EXPECT_EQ("", run.diagnostics.Text());

    ScriptRun over("0 call grow bb\n", "grow: a {\n  0 c" + exact + ".x = 5\n}\n");
    EXPECT_FALSE(over.processed);
    EXPECT_EQ(CapMessage + OrvDiagnostics::TruncatedLine + "\n", over.diagnostics.Text());
}

TEST(OrvTimeline, AShrinkingWordLongerThanTheCapMustFitAfterItsFirstReplacement) {
    // "aa" -> "a": cap + 1 characters are the cap after the first step.
    PrefixRun run(std::string(Cap / 2, 'a'), "0 call shrink a\n",
                  "shrink: aa {\n  0 " + std::string(Cap - 1, 'a') + ".x = 5\n}\n");
    EXPECT_TRUE(run.processed);
    EXPECT_EQ(5.0, run.X());
    EXPECT_EQ("", run.diagnostics.Text());

    ScriptRun over("0 call shrink a\n",
                   "shrink: aa {\n  0 " + std::string(Cap, 'a') + ".x = 5\n}\n");
    EXPECT_FALSE(over.processed);
    EXPECT_EQ(CapMessage + OrvDiagnostics::TruncatedLine + "\n", over.diagnostics.Text());
}

TEST(OrvTimeline, CallsFindTheFirstTopLevelLineWithTheName) {
    // The first of two blocks with the same name is called.
    ScriptRun twice("0 call twin\n", "twin {\n  0 box.x = 1\n}\ntwin {\n  0 box.x = 2\n}\n");
    ASSERT_TRUE(twice.processed) << twice.diagnostics.Text();
    EXPECT_EQ(1.0, twice.Box("x", 0));

    // A plain top-level line counts too: "solo: p" declares one parameter and no lines.
    ScriptRun solo("0 call solo\n", "solo: p\nsolo {\n  0 box.x = 9\n}\n");
    EXPECT_FALSE(solo.processed);
    EXPECT_EQ("Invalid number of arguments\nError on line: 0 call solo\n", solo.diagnostics.Text());

    // A block nested in another is not top-level.
    ScriptRun nested("0 call inner\n", "outer {\n  inner {\n    0 box.x = 3\n  }\n}\n");
    EXPECT_FALSE(nested.processed);
    EXPECT_EQ("Sub node not found: inner\nError on line: 0 call inner\n",
              nested.diagnostics.Text());

    // Many calls among many top-level lines, the called block last of them.
    std::string extra;
    for (int i = 0; i < 100000; ++i)
        extra += "line" + std::to_string(i) + ": x\n";
    extra += "last: v {\n  0 box.y = v\n}\n";
    ScriptRun many("0 loop 0.001 100000 times {\n  0 call last 4\n}\n", extra);
    EXPECT_TRUE(many.processed);
    EXPECT_EQ("", many.diagnostics.Text());
    EXPECT_EQ(4.0, many.Box("y", 99999));
}

// Counting lines alone would let a short script run for hours or fill the memory: long lines
// in a loop, a block with many arguments, or arguments that grow every word they replace.
// Each case here passes 5 000 000 lines only after hours, and stops at the text limit now.
TEST(OrvTimeline, LongLinesAndManyArgumentsStopAtTheTextLimit) {
    const std::string TextMessage = "Script too long: more than 1073741824 bytes of timeline "
                                    "text after expanding loops and calls\n";
    const std::string loop = "0 loop 0 5000000 times";

    // A 64 KiB line read again every round.
    std::string name(64 * 1024, 'n');
    std::string hold = "0 " + name + ".x = 1";
    {
        PrefixRun run(name, loop + " {\n  " + hold + "\n}\n", "");
        EXPECT_FALSE(run.processed);
        EXPECT_EQ(1.0, run.X());
        EXPECT_EQ(TextMessage + "Error on line: " + hold + "\nError on line: " + loop + "\n",
                  run.diagnostics.Text());
    }

    // 1500 arguments, each searched for in each of the body line's 1500 words.
    std::string names, values, enable = "0 enable";
    for (int i = 0; i < 1500; ++i) {
        names += " a" + std::to_string(i);
        values += " v";
        enable += " box";
    }
    std::string call = "0 call many" + values;
    {
        ScriptRun run(loop + " {\n  " + call + "\n}\n",
                      "many:" + names + " {\n  " + enable + "\n}\n");
        EXPECT_FALSE(run.processed);
        EXPECT_EQ(1.0, run.Switch("box", 0));
        EXPECT_EQ(TextMessage + "Error on line: " + enable + "\nError on line: " + call +
                      "\nError on line: " + loop + "\n",
                  run.diagnostics.Text());
    }

    // One key, 1000 times in the word, given a 1000-character value: a megabyte built per call.
    std::string value(1000, 'v');
    std::string grown = "0 " + std::string(1000, 'k') + ".x = 2";
    call = "0 call grow " + value;
    {
        PrefixRun run(std::string(1000000, 'v'), loop + " {\n  " + call + "\n}\n",
                      "grow: k {\n  " + grown + "\n}\n");
        EXPECT_FALSE(run.processed);
        EXPECT_EQ(2.0, run.X());
        EXPECT_EQ(TextMessage + "Error on line: " + grown + "\nError on line: " + call +
                      "\nError on line: " + loop + "\n",
                  run.diagnostics.Text());
    }
}
