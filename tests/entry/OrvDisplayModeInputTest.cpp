#include "entry/OrvDisplayModeInput.h"
#include "platform/OrvSdlInput.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {
using Action = OrvDisplayModeInput::Action;
using Row = OrvDisplayModeInput::Row;

::testing::AssertionResult IsStep(const Action& action, Row row, int delta) {
    if (action.kind != Action::Step)
        return ::testing::AssertionFailure() << "kind " << action.kind << " is not a step";
    if (action.row != row || action.delta != delta)
        return ::testing::AssertionFailure()
               << "step of row " << static_cast<int>(action.row) << " by " << action.delta;
    return ::testing::AssertionSuccess();
}

SDL_Event Sdl(Uint32 type) {
    SDL_Event event = {};
    event.type = type;
    return event;
}

SDL_Event Press(int x, int y, int button) {
    SDL_Event event = Sdl(SDL_MOUSEBUTTONDOWN);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event Key(Uint32 type, SDL_Keycode key) {
    SDL_Event event = Sdl(type);
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event Window(Uint8 what) {
    SDL_Event event = Sdl(SDL_WINDOWEVENT);
    event.window.event = what;
    return event;
}

// What the screen makes of an SDL event, through the platform's translation; None for an
// event the platform does not hand out.
Action Through(const SDL_Event& sdl) {
    OrvInputEvent event;
    if (!OrvSdlInput::Translate(sdl, event))
        return Action();
    return OrvDisplayModeInput::ForEvent(event);
}
} // namespace

TEST(OrvDisplayModeInput, ClicksOnTheRowsStepThemByTheirSide) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, 1), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, 3), Row::Mode, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(200, 300, 1), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(200, 335, 1), Row::AspectRatio, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(200, 335, 3), Row::AspectRatio, -1));
    // The "<" side ends just before x = 160.
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(159, 290, 1), Row::Resolution, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(160, 290, 1), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(349, 349, 1), Row::AspectRatio, +1));
}

TEST(OrvDisplayModeInput, RowNumberTruncatesTowardZeroAboveTheFirstRow) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 240, 1), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 231, 1), Row::Mode, -1));
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 230, 1).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 10, 1).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 350, 1).kind);
}

TEST(OrvDisplayModeInput, StartAreaAcceptsAndTheGapBetweenDoesNothing) {
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(600, 300, 1).kind);
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(481, 260, 3).kind);
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(700, 5000, 2).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(480, 300, 1).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(600, 259, 1).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(400, 300, 1).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(350, 275, 1).kind);
}

TEST(OrvDisplayModeInput, WheelStepsByPositionAlone) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, 4), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, 5), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(200, 300, 4), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(200, 300, 5), Row::Resolution, +1));
}

TEST(OrvDisplayModeInput, KeysAcceptCancelAndStep) {
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForKey(OrvKey::Return).kind);
    EXPECT_EQ(Action::Cancel, OrvDisplayModeInput::ForKey(OrvKey::Escape).kind);
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(OrvKey::W), Row::Mode, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(OrvKey::R), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(OrvKey::A), Row::AspectRatio, +1));
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(OrvKey::Space).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(OrvKey::Other).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(OrvKey::Left).kind);
}

TEST(OrvDisplayModeInput, SdlEventsReachTheScreenByTheirMeaning) {
    EXPECT_TRUE(IsStep(Through(Press(100, 275, SDL_BUTTON_LEFT)), Row::Mode, -1));
    EXPECT_TRUE(IsStep(Through(Press(100, 275, SDL_BUTTON_RIGHT)), Row::Mode, +1));
    EXPECT_EQ(Action::Accept, Through(Press(600, 300, SDL_BUTTON_LEFT)).kind);
    EXPECT_EQ(Action::Accept, Through(Key(SDL_KEYDOWN, SDLK_RETURN)).kind);
    EXPECT_EQ(Action::Cancel, Through(Key(SDL_KEYDOWN, SDLK_ESCAPE)).kind);
    EXPECT_TRUE(IsStep(Through(Key(SDL_KEYDOWN, SDLK_w)), Row::Mode, +1));
    EXPECT_TRUE(IsStep(Through(Key(SDL_KEYDOWN, SDLK_r)), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(Through(Key(SDL_KEYDOWN, SDLK_a)), Row::AspectRatio, +1));
    EXPECT_EQ(Action::None, Through(Key(SDL_KEYDOWN, SDLK_KP_ENTER)).kind);

    // The close button and SDL's quit request (a signal, the last window gone) both cancel.
    EXPECT_EQ(Action::Cancel, Through(Sdl(SDL_QUIT)).kind);
    EXPECT_EQ(Action::Cancel, Through(Window(SDL_WINDOWEVENT_CLOSE)).kind);

    // Releases, motion and focus changes do nothing, even over the start area.
    SDL_Event release = Press(600, 300, SDL_BUTTON_LEFT);
    release.type = SDL_MOUSEBUTTONUP;
    EXPECT_EQ(Action::None, Through(release).kind);
    EXPECT_EQ(Action::None, Through(Key(SDL_KEYUP, SDLK_RETURN)).kind);
    SDL_Event motion = Sdl(SDL_MOUSEMOTION);
    motion.motion.x = 600;
    motion.motion.y = 300;
    EXPECT_EQ(Action::None, Through(motion).kind);
    EXPECT_EQ(Action::None, Through(Window(SDL_WINDOWEVENT_FOCUS_GAINED)).kind);

    // The events a window hands out for them, by kind.
    OrvInputEvent event;
    EXPECT_TRUE(OrvSdlInput::Translate(Window(SDL_WINDOWEVENT_EXPOSED), event));
    EXPECT_EQ(OrvInputEvent::Redraw, event.kind);
    EXPECT_FALSE(OrvSdlInput::Translate(motion, event));
    const std::vector<std::pair<SDL_Keycode, OrvKey>> keys = {
        {SDLK_ESCAPE, OrvKey::Escape},     {SDLK_LEFT, OrvKey::Left}, {SDLK_RIGHT, OrvKey::Right},
        {SDLK_SPACE, OrvKey::Space},       {SDLK_HOME, OrvKey::Home}, {SDLK_PAGEUP, OrvKey::PageUp},
        {SDLK_PAGEDOWN, OrvKey::PageDown}, {SDLK_F5, OrvKey::F5},     {SDLK_F6, OrvKey::F6},
        {SDLK_F12, OrvKey::F12},           {SDLK_z, OrvKey::Z},       {SDLK_LSHIFT, OrvKey::Other}};
    for (const auto& key : keys) {
        ASSERT_TRUE(OrvSdlInput::Translate(Key(SDL_KEYUP, key.first), event));
        EXPECT_EQ(OrvInputEvent::KeyUp, event.kind);
        EXPECT_EQ(key.second, event.key) << SDL_GetKeyName(key.first);
    }
}
