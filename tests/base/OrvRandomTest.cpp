#include "base/OrvRandom.h"

#include <gtest/gtest.h>

TEST(OrvRandom, FixedSequenceFromStateOne) {
    OrvRandom generator;
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(value, generator.Next());
}

TEST(OrvRandom, SharedGeneratorStartsTheSameSequenceAndIsOneObject) {
    // Each test runs in its own process, so the shared generator is untouched here.
    EXPECT_EQ(&OrvRandom::Shared(), &OrvRandom::Shared());
    EXPECT_EQ(41, OrvRandom::Shared().Next());
    EXPECT_EQ(18467, OrvRandom::Shared().Next());
    OrvRandom fresh;
    EXPECT_EQ(41, fresh.Next()); // instances do not disturb the shared sequence
    EXPECT_EQ(6334, OrvRandom::Shared().Next());
    for (int i = 0; i < 100000; ++i) {
        int v = OrvRandom::Shared().Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, OrvRandom::Max);
    }
}
