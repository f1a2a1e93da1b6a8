// Counts every heap allocation in this program, to show that animating allocates nothing.
// The counter sees allocations inside the engine library too.

#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "support/OrvAllocationCounter.h"

#include "OrvRecordingInterface.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

TEST(OrvParameterAllocation, UpdatingForwardBackwardAndJumpingAllocatesNothing) {
    std::vector<OrvRecordingInterface> owners(100, OrvRecordingInterface({"a", "b", "c", "d"}));
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager(diagnostics, random);
    for (size_t i = 0; i < owners.size(); ++i)
        manager.AddInterface("obj" + std::to_string(i), owners[i]);
    for (int i = 0; i < manager.ParameterCount(); ++i) {
        std::string name = manager.FullName(i);
        for (unsigned int k = 0; k < 40; ++k) {
            unsigned int start = k * 1000 + i % 7, kind = (i + k) % 5;
            unsigned long before = OrvAllocationCount();
            if (kind == 0)
                manager.AddParameterHold(name, start, k);
            else if (kind == 1)
                manager.AddLinearParameterFade(name, start, 600, 0, k);
            else if (kind == 2)
                manager.AddCatmullRomSpline(name, start, 800, 0, 1, 2, k);
            else // long random items draw on every frame, short ones once
                manager.AddRandom(name, start, kind == 3 ? 300 : k % 2, 0, k);
            ASSERT_GT(OrvAllocationCount(),
                      before); // the counter does see the engine's allocations
        }
    }

    unsigned long before = OrvAllocationCount();
    for (unsigned int frame = 0; frame < 2500; ++frame) // forward at 60 frames per second
        manager.UpdateParameters(frame * 1000 / 60);
    for (unsigned int position = 42000; position > 0; position -= 700) // scrubbing back
        manager.UpdateParameters(position);
    for (unsigned int jump = 0, position = 1; jump < 500; ++jump) // jumps both ways
        manager.UpdateParameters(position = (position * 7919u + 104729u) % 45000u);
    manager.UpdateParameters(36300);
    EXPECT_EQ(before, OrvAllocationCount());
    EXPECT_EQ(18, owners[0].values[0]); // obj0.a is half way through its fade from 0 to 36
}
