// The clocks a player can be handed: frames of a fixed rate at exact positions, and the
// live clock's positions for given tick counts.

#include "base/OrvFixedStepClock.h"
#include "base/OrvRealTimeClock.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(OrvFixedStepClock, FramesLieAtExactPositionsWithoutDrift) {
    struct Rate {
        unsigned numerator, denominator;
    };
    for (Rate rate : {Rate{60, 1}, Rate{30000, 1001}, Rate{25, 1}, Rate{24000, 1001}}) {
        OrvFixedStepClock clock(rate.numerator, rate.denominator);
        clock.Start(30000);
        EXPECT_EQ(30000u, clock.Position());
        // One hour of frames: the elapsed times add up to the distance covered, and every
        // position is the exact rational time rounded down.
        const uint64_t frames = uint64_t(3600) * rate.numerator / rate.denominator;
        uint64_t sum = 0;
        unsigned position = 0, elapsed = 0;
        for (uint64_t n = 0; n <= frames; ++n) {
            clock.NextFrame(position, elapsed);
            sum += elapsed;
            if (n % 9973 == 0 || n == frames) {
                uint64_t exact = n * 1000 * rate.denominator / rate.numerator;
                ASSERT_EQ(30000u + exact, position) << rate.numerator << " frame " << n;
            }
            if (n > 0) {
                uint64_t step = 1000 * rate.denominator / rate.numerator;
                ASSERT_TRUE(elapsed == step || elapsed == step + 1) << elapsed;
            }
        }
        // The first frame's elapsed time runs from the show's beginning, like the live clock's.
        EXPECT_EQ(position, sum);
        EXPECT_EQ(frames + 1, clock.FramesTaken());
        // At 29.97 every 30000 frames take exactly 1001 s: no rounding piles up.
        if (rate.numerator == 30000) {
            EXPECT_EQ(30000u + 1001000u, clock.FramePosition(30000));
            EXPECT_EQ(30000u + 3003000u, clock.FramePosition(90000));
        }
    }
}

TEST(OrvFixedStepClock, ShiftsMovePositionsButNotElapsedTimes) {
    OrvFixedStepClock clock(50); // 20 ms a frame
    clock.Start(0);
    unsigned position = 0, elapsed = 0;
    clock.NextFrame(position, elapsed);
    EXPECT_EQ(0u, position);
    clock.NextFrame(position, elapsed);
    EXPECT_EQ(20u, position);
    clock.Shift(8000);
    EXPECT_EQ(8020u, clock.Position());
    clock.NextFrame(position, elapsed);
    EXPECT_EQ(8040u, position);
    EXPECT_EQ(20u, elapsed);
    clock.Shift(-8040);
    EXPECT_EQ(0u, clock.Position());
    clock.NextFrame(position, elapsed);
    EXPECT_EQ(20u, position);
    // Starting again forgets the shifts and the frames.
    clock.Start(100);
    clock.NextFrame(position, elapsed);
    EXPECT_EQ(100u, position);
    EXPECT_EQ(100u, elapsed);
    // A rate with a zero in it falls back to 60 frames per second.
    OrvFixedStepClock fallback(0, 0);
    fallback.Start(0);
    EXPECT_EQ(1000u, fallback.FramePosition(60));
}

TEST(OrvRealTimeClock, PositionOfATickCount) {
    OrvRealTimeClock clock;
    // Before Start the position is the tick count itself, shifted by the jumps.
    EXPECT_EQ(1234u, clock.PositionAt(1234));
    clock.Shift(8000);
    EXPECT_EQ(9234u, clock.PositionAt(1234));
    clock.Shift(-9000);
    EXPECT_EQ(234u, clock.PositionAt(1234));
}
