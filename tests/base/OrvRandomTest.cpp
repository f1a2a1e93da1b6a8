#include "base/OrvRandom.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRunContext.h"

#include <gtest/gtest.h>

TEST(OrvRandom, FixedSequenceFromStateOne) {
    OrvRandom generator;
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int value : expected)
        EXPECT_EQ(value, generator.Next());
}

TEST(OrvRandom, RunContextGeneratorStartsTheSameSequenceAndIsOneObject) {
    // Each run context starts its own generator at the fixed seed.
    OrvDiagnostics diagnostics;
    OrvRunContext run("./", diagnostics);
    EXPECT_EQ(&run.Random(), &run.Random());
    EXPECT_EQ(41, run.Random().Next());
    EXPECT_EQ(18467, run.Random().Next());
    OrvRandom fresh;
    EXPECT_EQ(41, fresh.Next()); // instances do not disturb the run's sequence
    OrvRunContext other("./", diagnostics);
    EXPECT_EQ(41, other.Random().Next()); // nor does another run's generator
    EXPECT_EQ(6334, run.Random().Next());
    for (int i = 0; i < 100000; ++i) {
        int v = run.Random().Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, OrvRandom::Max);
    }
}
