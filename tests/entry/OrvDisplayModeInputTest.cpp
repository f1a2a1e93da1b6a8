#include "entry/OrvDisplayModeInput.h"

#include <gtest/gtest.h>

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

SDL_Event Press(int x, int y, int button) {
    SDL_Event event = {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = SDL_PRESSED;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    return event;
}

SDL_Event KeyDown(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    return event;
}
} // namespace

TEST(OrvDisplayModeInput, ClicksOnTheRowsStepThemByTheirSide) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, SDL_BUTTON_LEFT), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, SDL_BUTTON_RIGHT), Row::Mode, +1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(200, 300, SDL_BUTTON_LEFT), Row::Resolution, +1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(200, 335, SDL_BUTTON_LEFT), Row::AspectRatio, +1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(200, 335, SDL_BUTTON_RIGHT), Row::AspectRatio, -1));
    // The "<" side ends just before x = 160.
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(159, 290, SDL_BUTTON_LEFT), Row::Resolution, -1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(160, 290, SDL_BUTTON_LEFT), Row::Resolution, +1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(349, 349, SDL_BUTTON_LEFT), Row::AspectRatio, +1));
}

TEST(OrvDisplayModeInput, RowNumberTruncatesTowardZeroAboveTheFirstRow) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 240, SDL_BUTTON_LEFT), Row::Mode, -1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 231, SDL_BUTTON_LEFT), Row::Mode, -1));
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 230, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 10, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(100, 350, SDL_BUTTON_LEFT).kind);
}

TEST(OrvDisplayModeInput, StartAreaAcceptsAndTheGapBetweenDoesNothing) {
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(600, 300, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(481, 260, SDL_BUTTON_RIGHT).kind);
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForClick(700, 5000, SDL_BUTTON_MIDDLE).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(480, 300, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(600, 259, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(400, 300, SDL_BUTTON_LEFT).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForClick(350, 275, SDL_BUTTON_LEFT).kind);
}

TEST(OrvDisplayModeInput, WheelStepsByPositionAlone) {
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForClick(100, 275, SDL_BUTTON_WHEELUP), Row::Mode, -1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(100, 275, SDL_BUTTON_WHEELDOWN), Row::Mode, -1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(200, 300, SDL_BUTTON_WHEELUP), Row::Resolution, +1));
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForClick(200, 300, SDL_BUTTON_WHEELDOWN), Row::Resolution, +1));
}

TEST(OrvDisplayModeInput, KeysAcceptCancelAndStep) {
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForKey(SDLK_RETURN).kind);
    EXPECT_EQ(Action::Cancel, OrvDisplayModeInput::ForKey(SDLK_ESCAPE).kind);
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(SDLK_w), Row::Mode, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(SDLK_r), Row::Resolution, +1));
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForKey(SDLK_a), Row::AspectRatio, +1));
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(SDLK_SPACE).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(SDLK_KP_ENTER).kind);
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForKey(SDLK_LEFT).kind);
}

TEST(OrvDisplayModeInput, EventsAreReadByTheirType) {
    EXPECT_TRUE(
        IsStep(OrvDisplayModeInput::ForEvent(Press(100, 275, SDL_BUTTON_LEFT)), Row::Mode, -1));
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForEvent(Press(600, 300, 1)).kind);
    EXPECT_EQ(Action::Accept, OrvDisplayModeInput::ForEvent(KeyDown(SDLK_RETURN)).kind);
    EXPECT_TRUE(IsStep(OrvDisplayModeInput::ForEvent(KeyDown(SDLK_a)), Row::AspectRatio, +1));

    SDL_Event quit = {};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Action::Cancel, OrvDisplayModeInput::ForEvent(quit).kind);

    // Releases and motion do nothing, even over the start area.
    SDL_Event release = Press(600, 300, SDL_BUTTON_LEFT);
    release.type = SDL_MOUSEBUTTONUP;
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForEvent(release).kind);
    SDL_Event keyUp = KeyDown(SDLK_RETURN);
    keyUp.type = SDL_KEYUP;
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForEvent(keyUp).kind);
    SDL_Event motion = {};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 600;
    motion.motion.y = 300;
    EXPECT_EQ(Action::None, OrvDisplayModeInput::ForEvent(motion).kind);
}
