// Live reload's loading beside the playing show, as far as the music's analysis goes: an edit
// that leaves the music file alone keeps the values the playing show had, and one that
// changes it analyses the new file.

#include "runtime/OrvShowReloader.h"
#include "audio/OrvMusic.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/OrvQuietLoadingObserver.h"
#include "show/OrvShow.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvMusicTestTrack.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Script(const std::string& clear) {
    return "header {\n  music: music.wav\n  bpm: 120\n}\nobjects {\n}\n"
           "renderLines {\n  screen {\n  }\n}\nscript {\n  0 screen.clear.a = 1\n" +
           clear + "}\n";
}

// A tone of `hz` over the second half of a two-second track.
void WriteTrack(const OrvTestFolder& folder, double hz) {
    ASSERT_TRUE(OrvMusicWriteAudio(folder.DataPath("music.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                                   44100, 1,
                                   OrvMusicTestTrack(44100, 1, 2.0, {{1.0, 2.0, hz, 0.5}}, {})));
}

const std::vector<float>& Band(const OrvShow& show, int band) {
    return show.MusicAnalysis().Source("music.band[" + std::to_string(band) + "]")->Samples();
}

} // namespace

TEST(OrvShowReloader, KeepsTheMusicsAnalysisUnlessTheMusicFileChanged) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvGlTestWindow window(64, 48);
    ASSERT_TRUE(window.IsOpen()) << window.Error();
    OrvTestFolder folder;
    WriteTrack(folder, 60); // band 1
    folder.WriteData("script.txt", Script("  0 screen.clear.r = 1\n"));
    OrvTestContext context(folder.DataPath(""));
    std::unique_ptr<OrvShow> show(new OrvShow(context.run));
    ASSERT_TRUE(show->ReadScript());
    OrvQuietLoadingObserver quiet;
    show->Load(quiet);
    OrvMusic music;
    ASSERT_TRUE(music.Load(show->Files().Path("music.wav"), context.diagnostics));
    const std::vector<float> low = Band(*show, 1);
    ASSERT_FALSE(low.empty());

    // The track now sounds at 5 kHz (band 12), but only the script is said to have changed:
    // the reloaded show takes the playing show's values and still watches the music file.
    WriteTrack(folder, 5000);
    folder.WriteData("script.txt", Script("  0 screen.clear.g = 1\n"));
    OrvShowReloader reloader;
    std::unique_ptr<OrvShow> edited =
        reloader.Reload(context.run, *show, music, {"script.txt"}, 0, false);
    ASSERT_NE(nullptr, edited) << reloader.Messages();
    EXPECT_EQ(low, Band(*edited, 1));
    EXPECT_EQ(1u, reloader.AttemptedFiles().count("music.wav"));

    // Said to have changed, the music is analysed again: band 12 now peaks in the second half.
    std::unique_ptr<OrvShow> retuned =
        reloader.Reload(context.run, *edited, music, {"music.wav"}, 0, false);
    ASSERT_NE(nullptr, retuned) << reloader.Messages();
    const std::vector<float>& high = Band(*retuned, 12);
    ASSERT_GT(high.size(), 150u);
    EXPECT_GT(high[150], 0.5f); // 1.5 s
    EXPECT_NE(low, Band(*retuned, 1));
    music.Release();
}
