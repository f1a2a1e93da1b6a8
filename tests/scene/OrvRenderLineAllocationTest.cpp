// Counts the heap allocations of this test program, to show that drawing frames allocates
// nothing, engine library included.

#include "scene/OrvRenderLineManager.h"
#include "support/OrvAllocationCounter.h"

#include "OrvRenderLineTestScene.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

TEST(OrvRenderLineAllocation, RenderingFramesAllocatesNothing) {
    ORV_SKIP_WITHOUT_DISPLAY();
    OrvRenderLineTestScene scene(96, 64, 64, 64, 1.5);
    ASSERT_TRUE(scene.window.IsOpen()) << scene.window.Error();
    scene.AddQuad("setter", 1, 0, 0, 0.5, {OrvTestNode("flags", {"1"})});
    scene.AddQuad("box", 0, 1, 0, 0.5, {OrvTestNode("depth", {"0.25"})});
    scene.AddQuad("off", 0, 0, 1, 1);
    scene.objects.UpdateParameter(2, 0);
    unsigned long before = OrvAllocationCount();
    scene.AddLine("buffer", {OrvTestNode("output", {"*buffer", "32", "32"}),
                             OrvTestNode("depthOutput", {"*depth"})});
    ASSERT_GT(OrvAllocationCount(), before); // the counter does see the engine's allocations
    scene.AddLine("depthOnly", {OrvTestNode("depthOutput", {"*shadow"})});
    scene.AddLine("screen", {OrvTestNode("exclude", {"setter"})});
    ASSERT_TRUE(scene.parameters.AddLinearParameterFade("screen.clear.g", 0, 10000, 0, 1));

    for (unsigned frame = 0; frame < 3; ++frame) // the software renderer compiles its states
        scene.lines.RenderAll(16);
    before = OrvAllocationCount();
    for (unsigned frame = 0; frame < 200; ++frame) {
        scene.parameters.UpdateParameters(frame * 16);
        scene.lines.RenderAll(16);
    }
    EXPECT_EQ(before, OrvAllocationCount());
    OrvQuadTestObject* box = OrvQuad(scene.objects.Object("box"));
    EXPECT_EQ(3 * 203, box->draws);
    // Listed by the three lines, updated once a frame.
    EXPECT_EQ(203, OrvQuad(scene.objects.Object("off"))->updates);
    // The frames were really drawn: the box in the middle of the picture, around it the
    // clear colour faded to 0.3184 green, black bars beside it.
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(48, 32), OrvRgba{0, 255, 0, 255}, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(20, 2), OrvRgba{0, 81, 0, 255}, 2));
    EXPECT_TRUE(OrvRgbNear(scene.window.ReadPixel(2, 2), OrvRgba{0, 0, 0, 255}, 2));
}
