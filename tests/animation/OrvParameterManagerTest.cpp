#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"

#include "OrvRecordingInterface.h"

#include <gtest/gtest.h>

TEST(OrvParameterManager, RegistrationNamesRecordsDepthFirst) {
    OrvRecordingInterface leaf({"r"}), deeper({"w"});
    OrvRecordingInterface middle({"v"}, {{"deep", &deeper}});
    OrvRecordingInterface box({"x", "y"}, {{"col", &leaf}, {"mid", &middle}, {"none", nullptr}});
    OrvRecordingInterface flat({"x", "y"}, {{"", &leaf}});
    OrvParameterInterface nothing; // empty name for 0: no parameters

    OrvDiagnostics diagnostics;

    OrvRandom random;

    OrvParameterManager manager(diagnostics, random);
    manager.AddInterface("box", box);
    manager.AddInterface(std::string("flat"), flat);
    manager.AddInterface("void", nothing);
    std::vector<std::string> expected = {"box.x",          "box.y",  "box.col.r", "box.mid.v",
                                         "box.mid.deep.w", "flat.x", "flat.y",    "flat.r"};
    std::vector<std::string> names;
    for (int i = 0; i < manager.ParameterCount(); ++i)
        names.push_back(manager.FullName(i));
    EXPECT_EQ(expected, names);
    EXPECT_EQ(2, manager.FindParameterByName("box.col.r"));
    EXPECT_EQ(-1, manager.FindParameterByName("box.col"));
    EXPECT_EQ(-1, manager.FindParameterByName("BOX.x"));
    EXPECT_TRUE(manager.ParameterExists("flat.r"));
    EXPECT_FALSE(manager.ParameterExists("void."));
}

TEST(OrvParameterManager, UpdatesOnlyAnimatedRecordsAndDuplicatesGoToTheFirst) {
    OrvRecordingInterface first({"x", "y"}), second({"x"});
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager(diagnostics, random);
    manager.AddInterface("box", first);
    manager.AddInterface("box", second); // box.x again
    ASSERT_EQ(3, manager.ParameterCount());
    EXPECT_EQ(0, manager.FindParameterByName("box.x"));

    EXPECT_TRUE(manager.AddLinearParameterFade("box.x", 1000, 1000, 0, 10));
    EXPECT_TRUE(manager.AddCatmullRomSpline("box.y", 0, 100, 0, 1, 2, 3));
    manager.UpdateParameters(500); // before box.x's first item
    EXPECT_EQ(0, first.calls[0]);
    EXPECT_EQ(2, first.values[1]);
    manager.UpdateParameters(1500);
    EXPECT_EQ(5, first.values[0]);
    EXPECT_EQ(0, second.calls[0]); // the duplicate never animates

    // Registering more afterwards moves the records; their items must go along.
    std::vector<OrvRecordingInterface> later(200, OrvRecordingInterface({"p"}));
    for (OrvRecordingInterface& other : later)
        manager.AddInterface("later", other);
    manager.UpdateParameters(1800);
    EXPECT_EQ(8, first.values[0]);

    EXPECT_FALSE(manager.AddParameterHold("box.x", 1500, 3));
    EXPECT_TRUE(manager.AddRandom("box.x", 2000, 1, 4, 4));
    manager.UpdateParameters(2500);
    EXPECT_EQ(4, first.values[0]);
    EXPECT_EQ("Envelope defined already to this section of time\n", diagnostics.Text());
    EXPECT_EQ(2, manager.Envelope(0).ItemCount());
}

TEST(OrvParameterManager, UnknownNamesGetADidYouMeanList) {
    OrvRecordingInterface box({"x", "y"}), cam({"fovy"}), ab({"cdf", "c", "cdx"});
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager(diagnostics, random);
    manager.AddInterface("box", box);
    manager.AddInterface("cam", cam);
    EXPECT_FALSE(manager.AddParameterHold("box.z", 0, 1)); // 0.8 each; cam.fovy 0.125
    EXPECT_FALSE(manager.AddRandom("zzzz", 0, 0, 1, 2));   // nothing near: no list at all
    std::string expected = "Unknown parameter: box.z\nDid you mean:\n\nbox.x\nbox.y\n"
                           "Unknown parameter: zzzz\n";
    EXPECT_EQ(expected, diagnostics.Text());

    manager.AddInterface("ab", ab);
    using Names = std::deque<std::string>;
    EXPECT_EQ(Names({"ab.cdf", "ab.cdx", "ab.c"}), manager.SimiliarParameterNames("ab.cdf"));
    EXPECT_EQ(Names({"ab.c", "ab.cdf", "ab.cdx"}), manager.SimiliarParameterNames("ab.")); // 3/6
    EXPECT_EQ(Names({"ab.c"}), manager.SimiliarParameterNames("ab")); // 2 of 6 is out
    EXPECT_TRUE(manager.SimiliarParameterNames("_ab.cdf").empty());   // shifted by one

    // Ten of the twelve at 5/6, in registration order, none of those at 5/7 between them.
    std::vector<std::string> crowd;
    for (char c = 'A'; c <= 'L'; ++c) {
        crowd.push_back(std::string("p") + c + "_");
        crowd.push_back(std::string("p") + c);
    }
    OrvRecordingInterface many(crowd);
    manager.AddInterface("obj", many);
    EXPECT_FALSE(manager.AddLinearParameterFade("obj.pZ", 0, 10, 0, 1));
    expected += "Unknown parameter: obj.pZ\nDid you mean:\n\nobj.pA\nobj.pB\nobj.pC\nobj.pD\n"
                "obj.pE\nobj.pF\nobj.pG\nobj.pH\nobj.pI\nobj.pJ\n";
    EXPECT_EQ(expected, diagnostics.Text());
}
