// The engine's playback clock: the position of a tick count, the sixteen-beat jumps and the
// start of Run. Every check is exact or bracketed by tick counts read around the call, so
// none depends on how fast the machine is.

#include "base/OrvDiagnostics.h"
#include "base/OrvRealTimeClock.h"
#include "runtime/OrvEngine.h"
#include "support/OrvGlTestWindow.h"
#include "support/OrvTestContext.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"

#include <SDL2/SDL.h>
#include <cstddef>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Script(const std::string& header) {
    return "header {\n  title: Clock\n" + header +
           "}\nobjects {\n}\nrenderLines {\n}\nscript {\n}\n";
}

class ClockEngine : public OrvEngine {
public:
    using OrvEngine::CurrentPosition;
    using OrvEngine::Jump;
    using OrvEngine::OrvEngine;
};

void PushKey(Uint32 type, SDL_Keycode key) {
    SDL_Event event = {};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
    event.key.keysym.sym = key;
    ASSERT_EQ(1, SDL_PushEvent(&event));
}

} // namespace

TEST(OrvEngineClock, JumpsMoveSixteenBeatsAndNeverBeforeTheStart) {
    OrvTestFolder folder;
    OrvTestContext context(folder.DataPath(""));
    ClockEngine engine(context.run);
    // 960000 / 7 = 137142.86: a step far longer than the few ticks this test runs.
    folder.WriteData("script.txt", Script("  bpm: 7\n"));
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();

    // Before Run the clock starts at tick 0.
    EXPECT_EQ(1000u, engine.CurrentPosition(1000));
    engine.Jump(true);
    EXPECT_EQ(1000u + 137142u, engine.CurrentPosition(1000));
    engine.Jump(true);
    EXPECT_EQ(1000u + 2 * 137142u, engine.CurrentPosition(1000));
    // Back from more than a step: one whole step.
    engine.Jump(false);
    EXPECT_EQ(1000u + 137142u, engine.CurrentPosition(1000));
    engine.Jump(false);
    EXPECT_EQ(1000u, engine.CurrentPosition(1000));

    // Back from less than a step: to 0 at the moment of the jump, not below. The clock is
    // started at 0 first, so the position is only the few milliseconds since.
    unsigned before = OrvRealTimeClock::Now();
    engine.Player().Clock().Start(0);
    engine.Jump(false);
    unsigned after = OrvRealTimeClock::Now();
    EXPECT_LE(engine.CurrentPosition(after), after - before);
    EXPECT_LE(10000u, engine.CurrentPosition(after + 10000));

    // Without a bpm the step is 0: the arrows leave the position where it is.
    folder.WriteData("script.txt", Script(""));
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
    unsigned position = engine.CurrentPosition(after);
    engine.Jump(true);
    EXPECT_EQ(position, engine.CurrentPosition(after));
    engine.Jump(false);
    EXPECT_EQ(position, engine.CurrentPosition(after));
    EXPECT_EQ("", context.diagnostics.Text());
}

TEST(OrvEngineClock, RunStartsAtTheJumpHeaderAndAppliesKeysReleasedBeforeEscape) {
    ORV_SKIP_WITHOUT_DISPLAY();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    OrvTestFolder folder;
    folder.WriteData("script.txt", Script("  bpm: 120\n  jump: 30\n"));
    folder.WriteData("loading.jpg", OrvMakePng(1, 1, 3, {255, 255, 255}));
    OrvTestContext context(folder.DataPath(""));
    ClockEngine engine(context.run);
    ASSERT_TRUE(engine.PreInit()) << context.diagnostics.Text();
    ASSERT_TRUE(engine.Init(64, 48, 4.0 / 3.0, 0)) << context.diagnostics.Text();
    EXPECT_EQ("Could not load the music file\n", context.diagnostics.Text());

    // One batch: a press (nothing), the Right release (8000 ms at 120 bpm), and Escape,
    // which ends the loop before a frame is drawn.
    PushKey(SDL_KEYDOWN, SDLK_RIGHT);
    PushKey(SDL_KEYUP, SDLK_RIGHT);
    PushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    PushKey(SDL_KEYUP, SDLK_ESCAPE);
    unsigned before = OrvRealTimeClock::Now();
    engine.Run();
    unsigned after = OrvRealTimeClock::Now();

    // Run's first tick lies between the two readings and was position 30000.
    unsigned position = engine.CurrentPosition(after);
    EXPECT_LE(30000u + 8000u, position);
    EXPECT_GE(30000u + 8000u + (after - before), position);
    // No frame was drawn: the caption still reads as while loading.
    EXPECT_EQ("Clock - Loading...", engine.Video().Caption());
    EXPECT_EQ("Could not load the music file\n", context.diagnostics.Text());
}
