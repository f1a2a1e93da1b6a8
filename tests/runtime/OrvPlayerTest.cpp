// The player driven by a fixed-step clock: each step draws the frame of an exact position,
// hands it to the frame sink before the swap, and the frame that reaches the end is the last.

#include "runtime/OrvPlayer.h"
#include "audio/OrvMusic.h"
#include "base/OrvFixedStepClock.h"
#include "runtime/OrvEngine.h"
#include "runtime/OrvVideo.h"
#include "show/OrvShow.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Reads the centre of the screen's picture of every frame it is told about.
class CentreReader : public IOrvFrameSink {
public:
    void FrameDrawn(const Frame& frame) override {
        positions.push_back(frame.position);
        elapsed.push_back(frame.elapsedMs);
        unsigned char pixel[4] = {0, 0, 0, 0};
        glReadPixels(frame.viewport.x + frame.viewport.width / 2,
                     frame.viewport.y + frame.viewport.height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixel);
        reds.push_back(pixel[0]);
        surfaceWidth = frame.surfaceWidth;
        viewportWidth = frame.viewport.width;
    }
    std::vector<unsigned> positions, elapsed;
    std::vector<int> reds;
    int surfaceWidth = 0, viewportWidth = 0;
};

} // namespace

TEST(OrvPlayer, StepsDrawExactPositionsUpToTheEnd) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    folder.WriteData("script.txt", "header {\n  title: Steps\n  bpm: 120\n  width: 80\n"
                                   "  height: 60\n  jump: 0.2\n}\nobjects {\n}\n"
                                   "renderLines {\n  screen {\n  }\n}\n"
                                   "script {\n  0 screen.clear.r = 0 to 1 in 1\n"
                                   "  0 screen.clear.a = 1\n  0.7 end\n}\n");
    folder.WriteData("loading.jpg", OrvMakePng(1, 1, 3, {255, 255, 255}));
    OrvTestContext context(folder.DataPath(""));
    OrvFixedStepClock clock(10); // 100 ms a frame
    OrvEngine engine(context.run, clock);
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
    // A window twice as wide as the show's shape: the picture is letterboxed in the middle.
    ASSERT_TRUE(engine.Init(160, 60, 160.0 / 60.0, 0)) << context.diagnostics.Text();

    CentreReader reader;
    OrvPlayer& player = engine.Player();
    player.SetFrameSink(&reader);
    player.Start();
    int frames = 0;
    while (player.Step() && frames < 100)
        ++frames;
    // 200, 300, ... 700: the frame at the end position is drawn and is the last one.
    const std::vector<unsigned> expected = {200, 300, 400, 500, 600, 700};
    EXPECT_EQ(expected, reader.positions);
    EXPECT_EQ(200u, reader.elapsed.at(0));
    EXPECT_EQ(100u, reader.elapsed.at(1));
    for (std::size_t i = 0; i < reader.reds.size(); ++i)
        EXPECT_NEAR(reader.positions[i] * 255 / 1000, reader.reds[i], 2) << reader.positions[i];
    EXPECT_EQ(80, reader.surfaceWidth);
    EXPECT_EQ(80, reader.viewportWidth);

    // Jumps shift the clock by sixteen beats (8 s at 120 bpm), never before 0.
    player.Jump(true);
    EXPECT_EQ(8700u, clock.Position());
    player.Jump(false);
    player.Jump(false);
    EXPECT_EQ(0u, clock.Position());
    player.Step();
    EXPECT_EQ(100u, reader.positions.back());
    EXPECT_EQ("Steps - FPS: 10 / Position: 0.1s", engine.Video().Caption());
}

namespace {
// Notes what a hook is told of the shows: the previous one's start position read at that
// moment (reading a destroyed show is what the sanitized run would catch) and the new one.
class ShowWatcher : public IOrvPlayerHook {
public:
    void BeforeFrame(IOrvPlayerControl&) override {}
    void AfterFrame(IOrvPlayerControl&) override {}
    void ShowReplaced(IOrvPlayerControl& player, OrvShow* previous) override {
        previousShows.push_back(previous);
        if (previous)
            previousStarts.push_back(previous->StartPosition());
        current.push_back(&player.Show());
    }
    std::vector<OrvShow*> previousShows, current;
    std::vector<unsigned> previousStarts;
};
} // namespace

TEST(OrvPlayer, OwnsItsShowAndTellsHooksOfAReplacementWhileBothAreAlive) {
    OrvTestFolder folder;
    OrvTestContext context(folder.DataPath(""));
    OrvVideo video(context.run); // never opened: replacing shows draws nothing
    OrvFixedStepClock clock(10);
    OrvMusic music;
    OrvShow* first = new OrvShow(context.run);
    OrvPlayer player(std::unique_ptr<OrvShow>(first), video, clock, context.run.Display(), music);
    ShowWatcher early, late;
    player.AddHook(early);
    EXPECT_EQ(std::vector<OrvShow*>{nullptr}, early.previousShows) << "added: told of the show";
    EXPECT_EQ(std::vector<OrvShow*>{first}, early.current);

    OrvShow* second = new OrvShow(context.run);
    player.ReplaceShow(std::unique_ptr<OrvShow>(second));
    player.AddHook(late);
    OrvShow* third = new OrvShow(context.run);
    player.ReplaceShow(std::unique_ptr<OrvShow>(third));
    EXPECT_EQ((std::vector<OrvShow*>{nullptr, first, second}), early.previousShows);
    EXPECT_EQ((std::vector<OrvShow*>{first, second, third}), early.current);
    EXPECT_EQ(2u, early.previousStarts.size());
    EXPECT_EQ((std::vector<OrvShow*>{nullptr, second}), late.previousShows);
    EXPECT_EQ(third, &player.Show());
}
