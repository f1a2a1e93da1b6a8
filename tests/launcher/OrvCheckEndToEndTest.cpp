// "Run --check" with the real engine on show folders: the bundled show checks clean, and
// each kind of mistake gets its "script.txt:LINE:" lines and exit code 1 (warnings alone 0).
// The check opens no window and needs no display server: every run here has DISPLAY and
// WAYLAND_DISPLAY unset, and draws in an offscreen context.

#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
const std::string showDir = ORV_TEST_SHOW_DIR;
const int waitMs = 30000;

// A show folder with the built launcher and engine, the start-up pictures and the pictures
// and music of the bundled show; the script is what each test gives.
struct Show {
    OrvTestFolder folder;
    Show() {
        OrvCopyPath(showDir + "/Run", folder.Root() + "/Run");
        OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        for (const char* file : {"splash.jpg", "loading.jpg", "title.png", "music.ogg"})
            OrvCopyPath(showDir + "/data/" + file, folder.DataPath(file));
    }
    void Script(const std::string& text) const { folder.WriteData("script.txt", text); }
    // Every file of the bundled show's data folder.
    void BundledData() const {
        std::string command = "cp '" + showDir + "/data/'* '" + folder.DataPath("") + "'";
        ASSERT_EQ(0, std::system(command.c_str()));
    }
};

// Runs "Run --check" in the folder with no display server (and these variables set) and waits
// for it.
struct CheckRun {
    OrvChildProcess child;
    bool finished;
    // Started in `workingDirectory` when one is given, in the show's folder otherwise.
    CheckRun(const std::string& folder,
             const std::vector<std::pair<std::string, std::string>>& variables = {},
             const std::string& workingDirectory = "")
        : child(folder + "/Run", workingDirectory.empty() ? folder : workingDirectory, variables,
                {"DISPLAY", "WAYLAND_DISPLAY"}, {"--check"}) {
        finished = child.Wait(waitMs);
    }
};

// The line number of the first line of `text` that is exactly `line`; 0 when none is.
int LineOf(const std::string& text, const std::string& line) {
    int number = 1;
    for (size_t at = 0; at < text.size(); ++number) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (text.compare(at, end - at, line) == 0)
            return number;
        at = end + 1;
    }
    return 0;
}
} // namespace

TEST(OrvCheckEndToEnd, TheBundledShowChecksClean) {
    CheckRun run(showDir);
    ASSERT_TRUE(run.finished);
    EXPECT_TRUE(run.child.Exited());
    EXPECT_EQ(0, run.child.ExitCode());
    EXPECT_EQ("", run.child.Output());
    EXPECT_EQ("", run.child.Errors());
}

TEST(OrvCheckEndToEnd, AMissingBraceIsNamedWhereItsBlockOpens) {
    // A show whose loop lost its "}": the script block's own "}" closes the loop, so the end
    // line runs in every round of it. (The bundled music is at 128 bpm: another bpm would be
    // warned about.)
    const std::string script = "header {\n  bpm: 128\n  music: music.ogg\n}\n"
                               "objects {\n  box: image box.png\n}\n"
                               "renderLines {\n  screen {\n  }\n}\n"
                               "flash: who {\n  0 who.col.a = 1 to 0 in @0.1\n}\n"
                               "script {\n"
                               "    0 enable box\n"
                               "    @18 loop @0.1 24 times {\n"
                               "        0 call flash box\n"
                               "    @24 end\n"
                               "}\n";
    int loopLine = LineOf(script, "    @18 loop @0.1 24 times {");
    int endLine = LineOf(script, "    @24 end");
    ASSERT_GT(loopLine, 0);
    ASSERT_GT(endLine, loopLine);
    Show show;
    show.BundledData();
    show.folder.WriteData("box.png",
                          OrvMakePng(2, 2, 3, {255, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}));
    show.Script(script);

    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    // Where the block opens, and from where the lines are misplaced; the end line's complaint
    // in every round after the first follows from that and is not listed.
    EXPECT_EQ("script.txt:" + std::to_string(loopLine) +
                  ": block \"@18 loop @0.1 24 times\" is never closed: from line " +
                  std::to_string(endLine) +
                  " on, every line is read one block too deep (what follows from that is not "
                  "listed)\n",
              run.child.Output());
    EXPECT_EQ("", run.child.Errors());
}

TEST(OrvCheckEndToEnd, AMissingBraceInTheBundledShowIsOneMessage) {
    std::vector<std::string> lines{""}; // lines[n] is line n
    for (char c : OrvReadFile(showDir + "/data/script.txt"))
        c == '\n' ? lines.push_back("") : lines.back().push_back(c);
    auto joined = [&](size_t from, size_t to) {
        std::string text;
        for (size_t n = from; n < to && n < lines.size(); ++n)
            text += lines[n] + "\n";
        return text;
    };
    // The "}" of the first object (the camera "cam"), and the object after it.
    const std::string script = joined(1, lines.size());
    const int first = LineOf(script, "    cam: camera {");
    const int brace = LineOf(script, "    still: camera {") - 1;
    ASSERT_GT(first, 0);
    ASSERT_EQ("    }", lines[brace]);
    Show show;
    show.BundledData();
    show.Script(joined(1, brace) + joined(brace + 1, lines.size()));
    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    // Not one "Line not processed" for every object after it, nor the render lines and named
    // blocks read as objects: one message, at the object's line ("still" moved up one line).
    EXPECT_EQ("script.txt:" + std::to_string(first) +
                  ": block \"cam\" is never closed: from line " + std::to_string(brace) +
                  " on, every line is read one block too deep (what follows from that is not "
                  "listed)\n",
              run.child.Output());
    EXPECT_EQ("", run.child.Errors());

    // The script block's "}" at the very end: nothing is misplaced, the show plays as it is
    // written, and the check passes with a warning.
    size_t last = lines.size() - 1;
    while (last > 0 && lines[last].empty())
        --last;
    ASSERT_EQ("}", lines[last]);
    show.Script(joined(1, last));
    CheckRun warned(show.folder.Root());
    ASSERT_TRUE(warned.finished);
    EXPECT_EQ(0, warned.child.ExitCode());
    EXPECT_EQ("script.txt:" + std::to_string(LineOf(script, "script {")) +
                  ": warning: block \"script\" is never closed\n",
              warned.child.Output());
}

TEST(OrvCheckEndToEnd, ShaderErrorsNameTheShaderFileAndItsOwnLine) {
    const std::string vertex = "varying vec2 uv;\n"
                               "void main() {\n"
                               "    uv = gl_MultiTexCoord0.xy;\n"
                               "    gl_Position = ftransform();\n"
                               "}\n";
    const std::string fragment = "varying vec2 uv;\n"
                                 "void main() {\n"
                                 "    gl_FragColor = vec4(uv, 0.0, 1.0) +;\n"
                                 "}\n";
    Show show;
    // A pair named by its bare name, and a combined file whose fragment section starts after
    // a heading, the vertex section and two section lines: its line 3 is the file's line 11.
    show.folder.WriteData("glow.vert", vertex);
    show.folder.WriteData("glow.frag", fragment);
    show.folder.WriteData("sky.shader", "// The sky.\n## vert\n" + vertex + "## frag\n" + fragment);
    // "#line" moves the compiler's count past the end of the file: no line of it to name, so
    // the compiler's words stay with the object's line.
    show.folder.WriteData("far.frag", "#line 500\nvoid main() { gl_FragColor = nothing; }\n");
    show.Script("header {\n  music: music.ogg\n}\n" // 1-3
                "objects {\n"                       // 4
                "  glow: image title.png {\n"       // 5
                "    shader: glow\n"                // 6
                "  }\n"                             // 7
                "  sky: image title.png {\n"        // 8
                "    shader: sky.shader\n"          // 9
                "  }\n"                             // 10
                "  far: image title.png {\n"        // 11
                "    shader: far.frag\n"            // 12
                "  }\n"                             // 13
                "}\n"                               // 14
                "renderLines {\n  screen {\n  }\n}\n"
                "script {\n  0 enable glow sky far\n  1 end\n}\n");
    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    const std::string& output = run.child.Output();
    const std::string glow =
        "script.txt:5: Shader compiling failed: glow.frag\nglow.frag:3: error: ";
    const std::string sky =
        "script.txt:8: Shader compiling failed: sky.shader\nsky.shader:11: error: ";
    EXPECT_EQ(0u, output.find(glow)) << output;
    ASSERT_NE(std::string::npos, output.find(sky)) << output;
    // The same mistake, the same words, each at its file's own line; then far.frag's line
    // as the compiler wrote it (500 or 501: GLSL versions disagree on what "#line" names).
    std::string glowError =
        output.substr(glow.size(), output.find('\n', glow.size()) + 1 - glow.size());
    const std::string far = "script.txt:11: Shader compiling failed: far.frag\n0:50";
    EXPECT_EQ(glow + glowError + sky + glowError + far,
              output.substr(0, glow.size() + sky.size() + 2 * glowError.size() + far.size()));
    EXPECT_EQ(6, std::count(output.begin(), output.end(), '\n')) << output; // nothing else
    EXPECT_EQ("", run.child.Errors());
}

TEST(OrvCheckEndToEnd, EachKindOfMistakeGetsItsLine) {
    Show show;
    show.Script("header {\n"                    // 1
                "  music: tune.ogg\n"           // 2
                "  bpm: 120\n"                  // 3
                "}\n"                           // 4
                "objects {\n"                   // 5
                "  logo: image title.png\n"     // 6
                "  spare: image title.png\n"    // 7
                "  aside: image title.png\n"    // 8
                "  broken: image nothere.png\n" // 9
                "}\n"                           // 10
                "renderLines {\n"               // 11
                "  screen {\n"                  // 12
                "    objects: logo spare\n"     // 13
                "  }\n"                         // 14
                "}\n"                           // 15
                "script {\n"                    // 16
                "  0 enable logo aside\n"       // 17
                "  1 qq.x = 1\n"                // 18
                "  2 logo.col.a = 0 to 1\n"     // 19
                "  3 broken.zoom = 1\n"         // 20
                "}\n");                         // 21
    CheckRun run(show.folder.Root());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    EXPECT_EQ("script.txt:2: warning: music file cannot be loaded: tune.ogg\n"
              "script.txt:7: warning: object \"spare\" is never enabled\n"
              "script.txt:8: warning: object \"aside\" is in no render line\n"
              "script.txt:9: Could not load image file: nothere.png\n"
              "script.txt:16: warning: no end command: the show never stops\n"
              "script.txt:18: Unknown parameter: qq.x\n"
              "script.txt:18: Error on line: 1 qq.x = 1\n"
              "script.txt:19: Syntax error\n"
              "script.txt:19: Error on line: 2 logo.col.a = 0 to 1\n",
              run.child.Output());
    EXPECT_EQ("", run.child.Errors());

    // Warnings alone: listed, and the check passes.
    show.Script("header {\n  music: music.ogg\n}\nobjects {\n  logo: image title.png\n}\n"
                "renderLines {\n  screen {\n  }\n}\nscript {\n  1 end\n}\n");
    CheckRun warned(show.folder.Root());
    ASSERT_TRUE(warned.finished);
    EXPECT_EQ(0, warned.child.ExitCode());
    EXPECT_EQ("script.txt:5: warning: object \"logo\" is never enabled\n", warned.child.Output());
    // The same from another working directory: the check reads the show beside Run.
    CheckRun elsewhere(show.folder.Root(), {}, "/");
    ASSERT_TRUE(elsewhere.finished);
    EXPECT_EQ(0, elsewhere.child.ExitCode()) << elsewhere.child.Errors();
    EXPECT_EQ("script.txt:5: warning: object \"logo\" is never enabled\n",
              elsewhere.child.Output());

    // Without the start-up pictures the show cannot start: errors under their own names.
    std::remove(show.folder.DataPath("splash.jpg").c_str());
    std::remove(show.folder.DataPath("loading.jpg").c_str());
    CheckRun pictures(show.folder.Root());
    ASSERT_TRUE(pictures.finished);
    EXPECT_EQ(1, pictures.child.ExitCode());
    const std::string& output = pictures.child.Output();
    EXPECT_EQ(0u, output.find("script.txt:5: warning: object \"logo\" is never enabled\n"
                              "splash.jpg: Unable to load graphics: ../data/splash.jpg: "))
        << output;
    const std::string last = "loading.jpg: Could not load image file: loading.jpg\n";
    ASSERT_GT(output.size(), last.size());
    EXPECT_EQ(last, output.substr(output.size() - last.size()));
}

TEST(OrvCheckEndToEnd, WithNoOpenGlAtAllTheCheckSaysItCannotRun) {
    Show show;
    show.Script("header {\n}\nobjects {\n}\nrenderLines {\n}\nscript {\n}\n");
    // A video driver that does not exist: neither offscreen nor in a hidden window.
    CheckRun run(show.folder.Root(), {{"SDL_VIDEODRIVER", "none-such"}});
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1, run.child.ExitCode());
    EXPECT_EQ("", run.child.Output());
    EXPECT_EQ(0u, run.child.Errors().find("The show could not be checked: No OpenGL context could "
                                          "be made without a display: "))
        << run.child.Errors();
}
