// Following the music in the real Capture: a show whose background follows the music's level
// and whose picture is drawn by a shader reading orvBands, captured whole and from the middle.
// The frames at the same position are the same bytes, and the colours are the music's: loud
// for the first second, quiet after. A music file that cannot be analysed still plays (its
// sources are 0) with one warning.

#include "support/OrvChildProcess.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvMusicTestTrack.h"
#include "support/OrvPngReader.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

namespace {

const char* const Script = "header {\n"
                           "  title: Follow\n"
                           "  music: track.wav\n"
                           "  width: 40\n"
                           "  height: 30\n"
                           "}\n"
                           "objects {\n"
                           "  box: image box.png {\n"
                           "    shader: bands.shader\n"
                           "  }\n"
                           "}\n"
                           "renderLines {\n"
                           "  screen {\n"
                           "  }\n"
                           "}\n"
                           "script {\n"
                           "  0 enable box\n"
                           "  0 screen.clear.a = 1\n"
                           "  0 screen.clear.g = follow music.level * 0.8 + 0.2\n"
                           "  2 end\n"
                           "}\n";

// The 1 kHz tone falls in band 8.
const char* const Shader = "## vert\n"
                           "void main() { gl_Position = ftransform(); }\n"
                           "## frag\n"
                           "uniform float orvBands[16];\n"
                           "void main() { gl_FragColor = vec4(orvBands[8], 0.0, 0.0, 1.0); }\n";

struct Show {
    OrvTestFolder folder;
    explicit Show(bool analysable = true) {
        OrvCopyPath(std::string(ORV_TEST_SHOW_DIR) + "/Capture", folder.Root() + "/Capture");
        OrvCopyPath(std::string(ORV_TEST_SHOW_DIR) + "/bin/libOrvEngine.so",
                    folder.BinPath("libOrvEngine.so"));
        folder.WriteData("script.txt", Script);
        folder.WriteData("bands.shader", Shader);
        folder.WriteData("box.png", OrvMakePng(4, 4, 3, OrvRepeatPixel({255, 255, 255}, 16)));
        if (analysable)
            EXPECT_TRUE(OrvMusicWriteAudio(
                folder.DataPath("track.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                OrvMusicTestTrack(44100, 2, 2.0, {{0.0, 1.0, 1000, 0.5}}, {})));
        else
            folder.WriteData("track.wav", std::string(3000, 'x'));
    }
    std::string Path(const std::string& name) const { return folder.Root() + "/" + name; }

    int Capture(const std::vector<std::string>& arguments, std::string& errors) {
        OrvChildProcess child(Path("Capture"), folder.BinPath(""), {}, {}, arguments);
        if (!child.Wait(60000))
            return -1;
        errors = child.Errors();
        return child.Exited() ? child.ExitCode() : -1;
    }
};

struct Pixel {
    int r, g, b;
};

Pixel At(const std::string& path, int x, int y) {
    OrvXDriver::Picture picture;
    if (!OrvReadPng(path, picture) || picture.width <= x || picture.height <= y)
        return {-1, -1, -1};
    size_t i = (size_t(y) * picture.width + x) * 3;
    return {picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
}

std::string Frame(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", n);
    return name;
}

} // namespace

TEST(OrvCaptureMusic, FramesFollowTheMusicTheSameFromTheStartOrTheMiddle) {
    Show show;
    std::string errors;
    ASSERT_EQ(0, show.Capture({"--fps", "10", "--out", show.Path("whole")}, errors)) << errors;
    EXPECT_EQ("", errors);
    ASSERT_EQ(0, show.Capture({"--fps", "10", "--from", "1.2", "--out", show.Path("late")}, errors))
        << errors;

    // While the tone sounds the background is at full level and the shader draws band 8;
    // after it, the level and the band are 0: the background is the offset alone.
    Pixel loud = At(show.Path("whole/" + Frame(5)), 1, 1);
    Pixel box = At(show.Path("whole/" + Frame(5)), 20, 15);
    Pixel quiet = At(show.Path("whole/" + Frame(15)), 1, 1);
    Pixel quietBox = At(show.Path("whole/" + Frame(15)), 20, 15);
    EXPECT_GT(loud.g, 230) << "level near 1 at 0.5 s";
    EXPECT_GT(box.r, 230) << "band 8 near 1 at 0.5 s";
    EXPECT_NEAR(51, quiet.g, 2) << "level 0 at 1.5 s: 0.2";
    EXPECT_EQ(0, quietBox.r);

    // The middle start's frames are the whole capture's, byte for byte.
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(OrvReadFile(show.Path("whole/" + Frame(n + 12))),
                  OrvReadFile(show.Path("late/" + Frame(n))))
            << "frame at " << (n + 12) * 100 << " ms";
}

TEST(OrvCaptureMusic, AMusicThatCannotBeAnalysedPlaysWithItsSourcesAt0AndOneWarning) {
    Show show(false);
    std::string errors;
    ASSERT_EQ(0, show.Capture({"--fps", "10", "--to", "1", "--out", show.Path("frames")}, errors));
    EXPECT_EQ("Could not load the music file\n", errors) << "the one warning";
    EXPECT_NEAR(51, At(show.Path("frames/" + Frame(5)), 1, 1).g, 2);
    EXPECT_EQ(0, At(show.Path("frames/" + Frame(5)), 20, 15).r);
}
