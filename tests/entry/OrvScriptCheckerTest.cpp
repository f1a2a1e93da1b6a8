// The script check on generated shows: every message beside its line, loading going on after
// each error, and the warnings for what demo makers get wrong most. Needs an X display for
// its hidden OpenGL context.

#include "entry/OrvScriptChecker.h"

#include "base/OrvException.h"
#include "base/OrvQuietLoadingObserver.h"
#include "gfx/OrvImageFile.h"
#include "show/OrvShow.h"
#include "support/Orv3dsTestModel.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
// A mono 16-bit PCM WAV file of a tenth of a second of silence.
std::string SilentWav() {
    auto le = [](uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFF);
        return out;
    };
    const uint32_t samples = 4410;
    std::string data(samples * 2, '\0');
    return "RIFF" + le(36 + samples * 2, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) +
           le(44100, 4) + le(88200, 4) + le(2, 2) + le(16, 2) + "data" + le(samples * 2, 4) + data;
}

std::string Picture() {
    return OrvMakePng(4, 4, 3, OrvRepeatPixel({200, 100, 50}, 16));
}

// A show folder with both start-up pictures, a picture, a model and music; the script is
// what each test gives.
struct CheckedShow {
    OrvTestFolder folder;
    bool clean = false;
    std::string text;
    std::string failure;

    CheckedShow() {
        folder.WriteData("splash.jpg", Picture());
        folder.WriteData("loading.jpg", Picture());
        folder.WriteData("a.png", Picture());
        folder.WriteData("music.wav", SilentWav());
        Orv3dsTestModel model;
        model.meshes.push_back(Orv3dsTestModel::Quad("Hull", ""));
        folder.WriteData("ship.3ds", model.Bytes());
    }
    void Check(const std::string& script) {
        folder.WriteData("script.txt", script);
        OrvTestContext context(folder.DataPath(""));
        OrvScriptChecker checker(context.run);
        clean = checker.Check();
        text = checker.Report().Text();
        failure = checker.Failure();
    }
};
} // namespace

TEST(OrvScriptChecker, AGoodShowChecksClean) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    show.Check("header {\n  title: Check\n  music: music.wav\n  bpm: 120\n  width: 64\n"
               "  height: 48\n}\nobjects {\n  pic: image a.png {\n    col.a: 0.5\n  }\n"
               "  ship: 3ds ship.3ds\n  copy: duplicate ship\n}\n"
               "renderLines {\n  buffer {\n    output: *buf 16 16\n    objects: copy\n  }\n"
               "  screen {\n  }\n}\nscript {\n  0 enable pic copy\n  0.5 call fade pic\n"
               "  @1 end\n}\nfade: who {\n  0 who.col.a = 1 to 0 in 0.5\n}\n");
    EXPECT_EQ("", show.text);
    EXPECT_EQ("", show.failure);
    EXPECT_TRUE(show.clean);
    // A second check in the same process starts afresh.
    show.Check("header {\n  music: music.wav\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n"
               "  1 end\n}\n");
    EXPECT_EQ("", show.text);
    EXPECT_TRUE(show.clean);
}

TEST(OrvScriptChecker, EveryErrorIsListedAtItsLineAndLoadingGoesOn) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    show.Check("header {\n"                      // 1
               "  music: music.wav\n"            // 2
               "  bpm: 120\n"                    // 3
               "}\n"                             // 4
               "objects {\n"                     // 5
               "  gone: image missing.png\n"     // 6
               "  pic: image a.png {\n"          // 7
               "    col.a: 0.5\n"                // 8
               "    colour.r: 1\n"               // 9
               "  }\n"                           // 10
               "  ok: image a.png\n"             // 11
               "}\n"                             // 12
               "renderLines {\n"                 // 13
               "  small {\n"                     // 14
               "    output: *buf 0 16\n"         // 15
               "  }\n"                           // 16
               "  screen {\n"                    // 17
               "  }\n"                           // 18
               "}\n"                             // 19
               "script {\n"                      // 20
               "  0 enable pic ok\n"             // 21
               "  0 x=5\n"                       // 22
               "  1 gone.col.a = 1\n"            // 23
               "  1 enable gone\n"               // 24
               "  2 ok.zoom = 1 to 2 in 1\n"     // 25
               "  2.5 ok.zoom = 3\n"             // 26
               "  3 small.clear.r = 1\n"         // 27
               "  4 ok.qqqqqqqqqq = 1\n"         // 28
               "  5 call fade pic\n"             // 29
               "  9 end\n"                       // 30
               "}\n"                             // 31
               "fade: who {\n"                   // 32
               "  0 who.col.a = 1 to 0 in 1\n"   // 33
               "  0 who.blend = spline 1 in 1\n" // 34
               "}\n");                           // 35
    // The object and the render line that failed to load take the timeline lines about them
    // along (23, 24, 27): only the first message says what is wrong.
    EXPECT_EQ("script.txt:6: Could not load image file: missing.png\n"
              "script.txt:7: Initialization failed due to unidentified parameters in "
              "initialization block\n"
              "script.txt:9: Error: Line not processed: colour.r: 1\n"
              "script.txt:14: Buffer size is not positive in render line: small\n"
              "script.txt:22: Syntax error\n"
              "script.txt:22: Error on line: 0 x=5\n"
              "script.txt:26: Envelope defined already to this section of time\n"
              "script.txt:26: Error on line: 2.5 ok.zoom = 3\n"
              "script.txt:28: Unknown parameter: ok.qqqqqqqqqq\n"
              "script.txt:28: Error on line: 4 ok.qqqqqqqqqq = 1\n"
              "script.txt:29: Error on line: 5 call fade pic\n"
              "script.txt:34: Syntax error\n"
              "script.txt:34: Error on line: 0 who.blend = spline 1 in 1\n",
              show.text);
    EXPECT_FALSE(show.clean);
    EXPECT_EQ("", show.failure);
}

TEST(OrvScriptChecker, ASuggestionListKeepsItsLinesUnprefixed) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    show.Check("header {\n  music: music.wav\n}\nobjects {\n  box: image a.png\n}\n"
               "renderLines {\n  screen {\n  }\n}\nscript {\n  0 enable box\n  0 box.z = 1\n"
               "  1 end\n}\n");
    const std::string first = "script.txt:13: Unknown parameter: box.z\nDid you mean:\n\n";
    const std::string last = "script.txt:13: Error on line: 0 box.z = 1\n";
    ASSERT_EQ(0u, show.text.find(first)) << show.text;
    ASSERT_EQ(show.text.size() - last.size(), show.text.find(last)) << show.text;
    std::string names =
        show.text.substr(first.size(), show.text.size() - first.size() - last.size());
    EXPECT_NE(std::string::npos, names.find("box.zoom\n")) << names;
    EXPECT_EQ(std::string::npos, names.find("script.txt")) << names;
    EXPECT_FALSE(show.clean);
}

// A newcomer's slips, each in a show of its own, each named at the line of the slip.
TEST(OrvScriptChecker, ANewcomersMistakesAreNamedAtTheirLines) {
    ORV_SKIP_WITHOUT_DISPLAY();
    // The header (with the case's lines), the objects block, the render lines and the
    // script, each as the case gives them.
    auto script = [](const std::string& header, const std::string& objects,
                     const std::string& renderLines, const std::string& timeline) {
        return "header {\n  music: music.wav\n" + header + "}\nobjects {\n" + objects +
               "}\nrenderLines {\n" + renderLines + "}\nscript {\n" + timeline + "}\n";
    };
    const std::string screen = "  screen {\n  }\n";
    const struct {
        const char* what;
        std::string script;
        std::string report;
    } cases[] = {
        {"a misspelt bpm: one error for the bar times, a note at the header, and the end is "
         "there",
         script("  bmp: 128\n", "  pic: image a.png\n", screen,
                "  0 enable pic\n  @1 pic.zoom = 1\n  @2 pic.zoom = 2\n  @30 end\n"),
         "script.txt:1: note: the header has no bpm above 0, which times in bars and beats need "
         "(the first is on line 14): add one, as in bpm: 120\n"
         "script.txt:3: Unknown header key: bmp\nDid you mean:\n\nbpm\n"
         "script.txt:14: Time @1 is written in bars and beats, but the header has no bpm above "
         "0\n"
         "script.txt:14: Error on line: @1 pic.zoom = 1\n"},
        {"an unknown object in a render line's list",
         script("", "  post: image a.png\n", "  screen {\n    objects: post pots\n  }\n",
                "  0 enable post\n  1 end\n"),
         "script.txt:9: Unknown object in render line screen: pots\nDid you mean:\n\npost\n"},
        {"a negative duration, and the item after it on the same parameter is fine",
         script("", "  pic: image a.png\n", screen,
                "  0 enable pic\n  0 pic.zoom = 0 to 1 in -2\n  5 pic.zoom = 3\n  9 end\n"),
         "script.txt:13: Duration is negative: -2\n"
         "script.txt:13: Error on line: 0 pic.zoom = 0 to 1 in -2\n"},
        {"a class word spelt the usual way",
         script("", "  env: environment {\n  }\n", screen, "  1 end\n"),
         "script.txt:5: Object class could not be initialized: environment\nDid you mean:\n\n"
         "enviroment\n"},
        {"a misspelt key of an object block, said once",
         script("", "  env: enviroment {\n    fogDensty: 0.06\n  }\n", screen,
                "  0 enable env\n  1 end\n"),
         "script.txt:5: Initialization failed due to unidentified parameters in initialization "
         "block\n"
         "script.txt:6: Error: Line not processed: fogDensty: 0.06\nDid you mean:\n\n"
         "fogDensity\n"},
        {"a greyscale picture",
         script("", "  pic: image grey.png\n", screen, "  0 enable pic\n  1 end\n"),
         "script.txt:5: The image is not truecolor: grey.png (it is greyscale: save it as 24- "
         "or 32-bit colour)\n"},
        {"a loop whose body fails in every round, said once with the count",
         script("", "", "", "  0 loop 1 1000 times {\n    0 call orbit\n  }\n  1 end\n"),
         "script.txt:9: The loop's body failed in 1000 of its 1000 rounds (only the first is "
         "listed)\n"
         "script.txt:9: Error on line: 0 loop 1 1000 times\n"
         "script.txt:10: Sub node not found: orbit\n"
         "script.txt:10: Error on line: 0 call orbit\n"},
    };
    CheckedShow show;
    show.folder.WriteData("grey.png", OrvMakePng(2, 2, 1, {0, 80, 160, 255}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        show.Check(c.script);
        EXPECT_EQ(c.report, show.text);
        EXPECT_FALSE(show.clean);
    }
}

TEST(OrvScriptChecker, WarningsAloneLeaveTheCheckClean) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    show.Check("header {\n"                        // 1
               "  title: Warnings\n"               // 2
               "  bpm: 120\n"                      // 3
               "}\n"                               // 4
               "objects {\n"                       // 5
               "  pic: image a.png\n"              // 6
               "  hidden: image a.png\n"           // 7
               "  offscreen: image a.png\n"        // 8
               "  ship: 3ds ship.3ds\n"            // 9
               "  copy: duplicate ship\n"          // 10
               "  faded: image a.png\n"            // 11
               "}\n"                               // 12
               "script {\n"                        // 13
               "  0 enable pic offscreen copy\n"   // 14
               "  1 disable hidden\n"              // 15
               "  2 objects.faded = 0 to 1 in 1\n" // 16
               "}\n"                               // 17
               "renderLines {\n"                   // 18
               "  screen {\n"                      // 19
               "    exclude: offscreen\n"          // 20
               "  }\n");                           // 21, and the file ends
    // The template of a duplicate (ship) gets no warning; a fade can switch faded on.
    EXPECT_EQ("script.txt:1: warning: no music key: the show plays silently\n"
              "script.txt:7: warning: object \"hidden\" is never enabled\n"
              "script.txt:8: warning: object \"offscreen\" is in no render line\n"
              "script.txt:13: warning: no end command: the show never stops\n"
              "script.txt:18: warning: block \"renderLines\" is never closed\n",
              show.text);
    EXPECT_TRUE(show.clean);

    // An initial value for the second of two objects of one name would land on the first.
    show.Check("header {\n"             // 1
               "  music: gone.ogg\n"    // 2
               "}\n"                    // 3
               "objects {\n"            // 4
               "  pic: image a.png\n"   // 5
               "  pic: image a.png {\n" // 6
               "    col.a: 0.5\n"       // 7
               "  }\n"                  // 8
               "}\n"                    // 9
               "renderLines {\n"        // 10
               "  screen {\n"           // 11
               "  }\n"                  // 12
               "}\n"                    // 13
               "script {\n"             // 14
               "  0 enable pic\n"       // 15
               "  1 end\n"              // 16
               "}\n");                  // 17
    EXPECT_EQ("script.txt:2: warning: music file cannot be loaded: gone.ogg\n"
              "script.txt:7: Warning: Initial value not applied, because an earlier object has "
              "the same name: pic.col.a\n",
              show.text);
    EXPECT_TRUE(show.clean);
}

TEST(OrvScriptChecker, BracesThatWentWrongAreNamedAtTheirLines) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    // The brace of pic is missing: the objects block's brace closes pic, and the render lines
    // and the script end up inside objects, which the file ends.
    show.Check("header {\n"             // 1
               "  music: music.wav\n"   // 2
               "}\n"                    // 3
               "objects {\n"            // 4
               "  pic: image a.png {\n" // 5
               "    col.a: 1\n"         // 6
               "  cam: camera {\n"      // 7
               "  }\n"                  // 8
               "}\n"                    // 9
               "renderLines {\n"        // 10
               "  screen {\n"           // 11
               "  }\n"                  // 12
               "}\n"                    // 13
               "script {\n"             // 14
               "  0 enable pic\n"       // 15
               "  1 end\n"              // 16
               "}\n");                  // 17
    // From cam on every line is one block too deep: all that follows from it is left out.
    EXPECT_EQ("script.txt:5: block \"pic\" is never closed: from line 7 on, every line is read "
              "one block too deep (what follows from that is not listed)\n",
              show.text);
    EXPECT_FALSE(show.clean);

    // A comment after a "}" makes it a line of its block; a "}" too many ends the reading.
    show.Check("header {\n"           // 1
               "  music: music.wav\n" // 2
               "} # header\n"         // 3
               "objects {\n"          // 4
               "}\n"                  // 5
               "renderLines {\n"      // 6
               "}\n"                  // 7
               "script {\n"           // 8
               "  1 end\n"            // 9
               "}\n"                  // 10
               "}\n"                  // 11: closes header
               "}\n");                // 12
    EXPECT_EQ("script.txt: Missing block: objects\n"
              "script.txt: An error in ../data/script.txt\n"
              "script.txt:3: warning: \"}\" with more on its line does not close a block\n"
              "script.txt:12: warning: \"}\" closes no block: the rest of the file is ignored\n",
              show.text);
    EXPECT_FALSE(show.clean);
}

TEST(OrvScriptChecker, AMissingBraceIsOneErrorAndWhatItMisplacesIsLeftOut) {
    ORV_SKIP_WITHOUT_DISPLAY();
    const std::string tail = " is never closed: from line ";
    const std::string deep =
        " on, every line is read one block too deep (what follows from that is not listed)\n";
    CheckedShow show;
    // An object's brace: what was wrong before the misplaced lines is still listed, the
    // object's own unknown key and its summary included.
    show.Check("header {\n"                    // 1
               "  music: music.wav\n"          // 2
               "  bpm: 120\n"                  // 3
               "}\n"                           // 4
               "objects {\n"                   // 5
               "  gone: image missing.png\n"   // 6
               "  pic: image a.png {\n"        // 7
               "    col.a: 0.5\n"              // 8
               "    colour.r: 1\n"             // 9
               "  ok: image a.png {\n"         // 10: misplaced from here on
               "    zoom: 2\n"                 // 11
               "  }\n"                         // 12
               "  ship: 3ds ship.3ds\n"        // 13
               "}\n"                           // 14
               "renderLines {\n"               // 15
               "  screen {\n"                  // 16
               "  }\n"                         // 17
               "}\n"                           // 18
               "fade: who {\n"                 // 19
               "  0 who.col.a = 1 to 0 in 1\n" // 20
               "}\n"                           // 21
               "script {\n"                    // 22
               "  0 enable pic ok ship\n"      // 23
               "  1 call fade ok\n"            // 24
               "  2 end\n"                     // 25
               "}\n");                         // 26
    EXPECT_EQ("script.txt:6: Could not load image file: missing.png\n"
              "script.txt:7: block \"pic\"" +
                  tail + "10" + deep +
                  "script.txt:7: Initialization failed due to unidentified parameters in "
                  "initialization block\n"
                  "script.txt:9: Error: Line not processed: colour.r: 1\n",
              show.text);
    EXPECT_FALSE(show.clean);

    // A loop's brace: the misplaced call runs in every round, so the loop's own call fails in
    // the second round, inside the called block. The first round's own error still counts.
    show.Check("header {\n"                      // 1
               "  music: music.wav\n"            // 2
               "  bpm: 120\n"                    // 3
               "}\n"                             // 4
               "objects {\n"                     // 5
               "  pic: image a.png\n"            // 6
               "}\n"                             // 7
               "renderLines {\n"                 // 8
               "  screen {\n"                    // 9
               "  }\n"                           // 10
               "}\n"                             // 11
               "flash: who {\n"                  // 12
               "  0 who.col.a = 1 to 0 in 0.5\n" // 13
               "}\n"                             // 14
               "script {\n"                      // 15
               "  0 enable pic\n"                // 16
               "  0 x=5\n"                       // 17
               "  1 loop 1 3 times {\n"          // 18
               "    0 y=1\n"                     // 19
               "    0.5 call flash pic\n"        // 20
               "  1.2 call flash pic\n"          // 21: misplaced from here on
               "  9 end\n"                       // 22
               "}\n");                           // 23
    EXPECT_EQ("script.txt:17: Syntax error\n"
              "script.txt:17: Error on line: 0 x=5\n"
              "script.txt:18: block \"1 loop 1 3 times\"" +
                  tail + "21" + deep +
                  "script.txt:18: Error on line: 1 loop 1 3 times\n"
                  "script.txt:19: Syntax error\n"
                  "script.txt:19: Error on line: 0 y=1\n",
              show.text);
    EXPECT_FALSE(show.clean);

    // The script's own brace with a block written after it: the block is a timeline line
    // now, and calling it finds nothing.
    const std::string head = "header {\n  music: music.wav\n}\n"    // 1-3
                             "objects {\n  pic: image a.png\n}\n"   // 4-6
                             "renderLines {\n  screen {\n  }\n}\n"  // 7-10
                             "script {\n  0 enable pic\n  0 z=1\n"; // 11-13
    show.Check(head + "  1 call flash pic\n"                        // 14
                      "  2 end\n"                                   // 15
                      "\n"                                          // 16
                      "flash: who {\n"                              // 17
                      "  0 who.col.a = 1 to 0 in 0.5\n"             // 18
                      "}\n");                                       // 19
    EXPECT_EQ("script.txt:11: block \"script\"" + tail + "17" + deep +
                  "script.txt:13: Syntax error\n"
                  "script.txt:13: Error on line: 0 z=1\n",
              show.text);
    EXPECT_FALSE(show.clean);

    // The script's own brace at the end of the file: nothing is misplaced, the show plays as
    // written, so it stays a warning and every other message is listed.
    show.Check(head + "  2 end\n");
    EXPECT_EQ("script.txt:11: warning: block \"script\" is never closed\n"
              "script.txt:13: Syntax error\n"
              "script.txt:13: Error on line: 0 z=1\n",
              show.text);
    EXPECT_FALSE(show.clean);
}

TEST(OrvScriptChecker, StartUpPicturesAndAMissingScript) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    std::remove(show.folder.DataPath("splash.jpg").c_str());
    show.folder.WriteData("loading.jpg", "not a picture");
    show.Check("header {\n  music: music.wav\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n"
               "  1 end\n}\n");
    // Messages name the files as the show folder sees them, wherever it lies.
    std::string reason = OrvImageFile(show.folder.DataPath("splash.jpg")).Reason();
    EXPECT_EQ("splash.jpg: Unable to load graphics: ../data/splash.jpg: " + reason + "\n" +
                  "loading.jpg: Could not load image file: loading.jpg\n",
              show.text);
    EXPECT_FALSE(show.clean);

    std::remove(show.folder.DataPath("script.txt").c_str());
    OrvTestContext context(show.folder.DataPath(""));
    OrvScriptChecker checker(context.run);
    EXPECT_FALSE(checker.Check());
    EXPECT_EQ("script.txt: Could not open ../data/script.txt\n", checker.Report().Text());
    EXPECT_EQ("", checker.Failure());
}

// The check loads with the engine's own loader: whatever stops the engine first is among what
// the check lists, with the same words, whichever stage of loading it comes from.
TEST(OrvScriptChecker, ListsWhatStopsTheEngineFirst) {
    ORV_SKIP_WITHOUT_DISPLAY();
    const std::string head = "header {\n  music: music.wav\n  width: 64\n  height: 48\n}\n";
    const std::string lines = "renderLines {\n  screen {\n  }\n}\n";
    const std::string end = "script {\n  0 enable pic\n  @1 end\n}\n";
    const std::vector<std::string> scripts = {
        // an object that cannot be built
        head + "objects {\n  pic: image missing.png\n}\n" + lines + end,
        // a line of an object's block nobody understands
        head + "objects {\n  pic: image a.png {\n    colour.r: 1\n  }\n}\n" + lines + end,
        // a render line that cannot be built
        head +
            "objects {\n  pic: image a.png\n}\nrenderLines {\n  buf {\n    depthOutput\n  }\n}\n" +
            end,
        // a timeline line naming a parameter nobody has
        head + "objects {\n  pic: image a.png\n}\n" + lines +
            "script {\n  0 enable pic\n  0.5 pic.glow = 1\n  @1 end\n}\n",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        CheckedShow checked;
        checked.Check(script);
        EXPECT_FALSE(checked.clean);

        OrvGlTestWindow window(64, 48);
        ASSERT_TRUE(window.IsOpen()) << window.Error();
        OrvTestContext context(checked.folder.DataPath(""));
        OrvShow show(context.run);
        ASSERT_TRUE(show.ReadScript()) << context.diagnostics.Text();
        std::string first;
        try {
            OrvQuietLoadingObserver quiet;
            show.Load(quiet);
        } catch (const OrvException& error) {
            // The timeline reports its errors before its summary; objects and render lines
            // raise theirs.
            first = context.diagnostics.Records().empty()
                        ? error.Message()
                        : context.diagnostics.Records().front().text;
        }
        ASSERT_FALSE(first.empty()) << "the engine loaded the show";
        EXPECT_NE(std::string::npos, checked.text.find(first)) << first;
    }
}

TEST(OrvScriptChecker, SyncTrackNamesMustBeParameters) {
    ORV_SKIP_WITHOUT_DISPLAY();
    CheckedShow show;
    show.Check("header {\n  music: music.wav\n  sync: sync.txt\n}\n" // 1-4
               "objects {\n}\nrenderLines {\n  screen {\n  }\n}\n"   // 5-10
               "sync {\n"                                            // 11
               "  screen.clear.r\n"                                  // 12
               "  screen.clear.q\n"                                  // 13
               "  two words\n"                                       // 14
               "}\nscript {\n  1 end\n}\n");
    EXPECT_FALSE(show.clean);
    EXPECT_NE(std::string::npos, show.text.find("script.txt:13: Unknown parameter: screen.clear.q"))
        << show.text;
    EXPECT_NE(std::string::npos, show.text.find("script.txt:14: Syntax error")) << show.text;
    EXPECT_EQ(std::string::npos, show.text.find("script.txt:12:")) << show.text;
}
