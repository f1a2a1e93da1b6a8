// The check knows the music's sources and its tempo: a misspelt source is an error at its line
// with the names it may have meant, and a header bpm more than 2% off the tempo the music has
// is a warning with both numbers.

#include "entry/OrvScriptChecker.h"

#include "support/OrvGlTestWindow.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvMusicTestTrack.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>
#include <vector>

namespace {

struct MusicShow {
    OrvTestFolder folder;
    std::string text;
    bool clean = false;

    MusicShow() {
        std::string picture = OrvMakePng(4, 4, 3, OrvRepeatPixel({200, 100, 50}, 16));
        folder.WriteData("splash.jpg", picture);
        folder.WriteData("loading.jpg", picture);
        folder.WriteData("a.png", picture);
        // Twenty seconds of clicks at 120 bpm.
        std::vector<double> beats;
        for (double t = 0.25; t < 20; t += 0.5)
            beats.push_back(t);
        EXPECT_TRUE(OrvMusicWriteAudio(folder.DataPath("beat.wav"),
                                       SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                       OrvMusicTestTrack(44100, 2, 20.0, {}, beats)));
    }
    void Check(const std::string& bpm, const std::string& script) {
        folder.WriteData("script.txt",
                         "header {\n  music: beat.wav\n  bpm: " + bpm +
                             "\n}\nobjects {\n  pic: image a.png\n}\n"
                             "renderLines {\n  screen {\n  }\n}\nscript {\n  0 enable pic\n" +
                             script + "  @4 end\n}\n");
        OrvTestContext context(folder.DataPath(""));
        OrvScriptChecker checker(context.run);
        clean = checker.Check();
        text = checker.Report().Text();
    }
};

} // namespace

TEST(OrvScriptCheckerMusic, SourcesAreKnownAndAMisspeltOneIsAnErrorAtItsLine) {
    ORV_SKIP_WITHOUT_DISPLAY();
    MusicShow show;
    show.Check("120", "  0 pic.col.a = follow music.bass.smooth * 0.5 + 0.5\n"
                      "  @1 pic.zoom = follow music.band[15]\n"
                      "  @2 pic.rotate = follow music.onset.sum * 90\n");
    EXPECT_EQ("", show.text);
    EXPECT_TRUE(show.clean);

    show.Check("120", "  0 pic.col.a = follow music.bsas\n"          // line 14
                      "  1 pic.zoom = follow music.band[16] * 2\n"); // line 15
    EXPECT_EQ("script.txt:14: Unknown source: music.bsas\nDid you mean:\n\nmusic.bass\n"
              "music.mid\nmusic.bass.sum\nmusic.level\nmusic.onset\nmusic.band[0]\n"
              "music.band[1]\nmusic.band[2]\nmusic.band[3]\nmusic.band[4]\n"
              "script.txt:14: Error on line: 0 pic.col.a = follow music.bsas\n"
              "script.txt:15: Unknown source: music.band[16]\nDid you mean:\n\n"
              "music.band[10]\nmusic.band[11]\nmusic.band[12]\nmusic.band[13]\n"
              "music.band[14]\nmusic.band[15]\nmusic.band[1]\nmusic.band[0]\n"
              "music.band[2]\nmusic.band[3]\n"
              "script.txt:15: Error on line: 1 pic.zoom = follow music.band[16] * 2\n",
              show.text);
    EXPECT_FALSE(show.clean);
}

TEST(OrvScriptCheckerMusic, ABpmOffTheMusicsTempoIsAWarningWithBothNumbers) {
    ORV_SKIP_WITHOUT_DISPLAY();
    MusicShow show;
    show.Check("120", "");
    EXPECT_EQ("", show.text);
    // Half the tempo puts the beats on the music as well.
    show.Check("60", "");
    EXPECT_EQ("", show.text);

    show.Check("100", "");
    const std::string start = "script.txt:3: warning: bpm 100.0 is more than 2% off the music's "
                              "tempo, ";
    const std::string end = " bpm: bars and beats will drift off the music\n";
    ASSERT_EQ(0u, show.text.find(start)) << show.text;
    ASSERT_GT(show.text.size(), start.size() + end.size());
    EXPECT_EQ(end, show.text.substr(show.text.size() - end.size())) << show.text;
    // The tempo found, as aubio's beat tracker finds it: within its precision of 120.
    double found = std::stod(show.text.substr(start.size()));
    EXPECT_NEAR(120.0, found, 2.0) << show.text;
    EXPECT_TRUE(show.clean) << "a warning only";
}
