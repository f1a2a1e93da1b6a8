#include "scene/OrvObjectManager.h"

#include "animation/OrvParameterManager.h"
#include "base/IOrvLoadingObserver.h"
#include "base/OrvException.h"

#include "OrvQuadTestObject.h"
#include "support/OrvTestContext.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// The message an operation raised, or "(nothing raised)".
std::string Raised(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const OrvException& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

class CountingObserver : public IOrvLoadingObserver {
public:
    void LoadingProgressed() override { ++steps; }
    int steps = 0;
};

} // namespace

TEST(OrvObjectManager, FactoryRejectsUnknownAndBadDuplicatesWithExactMessages) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    auto load = [&](OrvScriptNode node) {
        return Raised([&] { objects.LoadObject(node, parameters); });
    };
    OrvScriptNode source = OrvTestNode("src", {"quad"}, {OrvTestNode("depth", {"0.5"})});
    OrvScriptNode still = OrvTestNode("rock", {"still"});
    ASSERT_EQ("(nothing raised)", load(source));
    ASSERT_EQ("(nothing raised)", load(still));

    // A class word near a real one says which ("enviroment" is spelt so); one near none
    // says nothing more.
    EXPECT_EQ("Object class could not be initialized: Image\nDid you mean:\n\nimage",
              load(OrvTestNode("a", {"Image"})));
    EXPECT_EQ("Object class could not be initialized: Quad", load(OrvTestNode("a", {"Quad"})));
    EXPECT_EQ("Object class could not be initialized: environment\nDid you mean:\n\nenviroment",
              load(OrvTestNode("a", {"environment"})));
    EXPECT_EQ("Object class could not be initialized: partciles\nDid you mean:\n\nparticles",
              load(OrvTestNode("a", {"partciles"})));
    EXPECT_EQ("Object class could not be initialized: Duplicate\nDid you mean:\n\nduplicate",
              load(OrvTestNode("a", {"Duplicate", "src"})));
    EXPECT_EQ("Invalid number of arguments when trying to duplicate an object: copy",
              load(OrvTestNode("copy", {"duplicate"})));
    EXPECT_EQ("Invalid number of arguments when trying to duplicate an object: copy",
              load(OrvTestNode("copy", {"duplicate", "src", "src"})));
    EXPECT_EQ("Could not duplicate object, because the object name is unknown: Src",
              load(OrvTestNode("copy", {"duplicate", "Src"})));
    EXPECT_EQ("Could not duplicate object, because it does not support duplication: rock",
              load(OrvTestNode("copy", {"duplicate", "rock"})));
    EXPECT_EQ("Test quad refused its block",
              load(OrvTestNode("bad", {"quad"}, {OrvTestNode("fail", {})})));
    // Without a class word, or without a name (a line written "quad box", lacking its colon).
    EXPECT_EQ("Object without a class word: box", load(OrvTestNode("box", {})));
    EXPECT_EQ("Object without a name: quad box", load(OrvTestNode("", {"quad", "box"})));

    // None of the failures added or registered anything.
    ASSERT_EQ(2, objects.ObjectCount());
    EXPECT_EQ("src", objects.ObjectName(0));
    EXPECT_EQ("rock", objects.ObjectName(1));
    EXPECT_EQ(nullptr, objects.Object("bad"));
    EXPECT_EQ(-1, parameters.FindParameterByName("bad.zoom"));
    EXPECT_EQ("", ctx.diagnostics.Text());
}

TEST(OrvObjectManager, DuplicateCopiesTheSourceAndTakesItsBlockOnlyAsInitialValues) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    OrvScriptNode source = OrvTestNode("src", {"quad"}, {OrvTestNode("depth", {"0.5"})});
    OrvScriptNode copy = OrvTestNode("copy", {"duplicate", "src"}, {OrvTestNode("zoom", {"3"})});
    objects.LoadObject(source, parameters);
    OrvQuadTestObject* made = OrvQuad(objects.LoadObject(copy, parameters));
    ASSERT_NE(nullptr, made);
    EXPECT_NE(objects.Object("src"), made);
    EXPECT_EQ(made, objects.Object("copy"));
    EXPECT_EQ("copy", made->Name());
    EXPECT_FLOAT_EQ(0.5f, made->depth); // the source's state, not a fresh Init
    parameters.UpdateParameters(0);
    EXPECT_EQ(3.0, made->zoom);
    EXPECT_EQ(1.0, OrvQuad(objects.Object("src"))->zoom);

    // A key only Init would read is not processed for a duplicate.
    OrvScriptNode keyed =
        OrvTestNode("copy2", {"duplicate", "src"}, {OrvTestNode("depth", {"0.1"})});
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              Raised([&] { objects.LoadObject(keyed, parameters); }));
    EXPECT_EQ("Error: Line not processed: depth: 0.1\n", ctx.diagnostics.Text());
    EXPECT_FLOAT_EQ(0.5f, OrvQuad(objects.Object("copy2"))->depth);

    // Sources must come earlier in the block; the loading stops at the failure.
    OrvTestObjectManager ordered(ctx.scene);
    CountingObserver observer;
    OrvScriptNode early = OrvTestNode("early", {"duplicate", "late"});
    OrvScriptNode late = OrvTestNode("late", {"quad"});
    std::vector<OrvScriptNode*> nodes = {&early, &late};
    EXPECT_EQ("Could not duplicate object, because the object name is unknown: late",
              Raised([&] { ordered.LoadObjects(nodes, parameters, observer); }));
    EXPECT_EQ(0, ordered.ObjectCount());
    EXPECT_EQ(0, observer.steps);
}

TEST(OrvObjectManager, BlockValuesBecomeHoldsAtTimeZeroAndUnknownLinesFailTheObject) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    OrvScriptNode good =
        OrvTestNode("box", {"quad"},
                    {OrvTestNode("zoom", {"2"}), OrvTestNode("col.g", {"0.25", "0.75"}),
                     OrvTestNode("col.b", {"0.5x"}), OrvTestNode("col.r", {"red"}),
                     OrvTestNode("depth", {"0.5"})});
    OrvQuadTestObject* box = OrvQuad(objects.LoadObject(good, parameters));
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(1.0, box->zoom); // holds, not direct settings
    parameters.UpdateParameters(0);
    EXPECT_EQ(2.0, box->zoom);
    EXPECT_FLOAT_EQ(0.25f, box->col.g); // only the first value counts
    EXPECT_FLOAT_EQ(0.5f, box->col.b);  // the leading number
    EXPECT_FLOAT_EQ(0.0f, box->col.r);  // no number at all
    EXPECT_FLOAT_EQ(0.5f, box->depth);
    for (OrvScriptNode* line : good.Children())
        EXPECT_TRUE(line->IsProcessed()) << line->ToString();
    ASSERT_GE(parameters.FindParameterByName("box.zoom"), 0);
    EXPECT_EQ(1, parameters.Envelope(parameters.FindParameterByName("box.zoom")).ItemCount());
    EXPECT_EQ("", ctx.diagnostics.Text());

    // Unknown keys, a key without a value and a misspelt parameter are each reported; nested
    // lines belong to their head line and are not looked at.
    OrvScriptNode nested = OrvTestNode("depth", {"0.25"}, {OrvTestNode("anything", {"1"})});
    OrvScriptNode bad =
        OrvTestNode("bad", {"quad"},
                    {OrvTestNode("size", {"3", "4"}), OrvTestNode("zoom", {}), nested,
                     OrvTestNode("col.x", {"1"}), OrvTestNode("zoom", {"4"})});
    EXPECT_EQ("Initialization failed due to unidentified parameters in initialization block",
              Raised([&] { objects.LoadObject(bad, parameters); }));
    EXPECT_EQ("Error: Line not processed: size: 3 4\n"
              "Error: Line not processed: zoom\n"
              "Error: Line not processed: col.x: 1\nDid you mean:\n\ncol.r\ncol.g\ncol.b\ncol.a\n",
              ctx.diagnostics.Text());
    // The object stays, registered, with its accepted values.
    OrvQuadTestObject* kept = OrvQuad(objects.Object("bad"));
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(2, objects.ObjectCount());
    parameters.UpdateParameters(0);
    EXPECT_EQ(4.0, kept->zoom);
    EXPECT_FLOAT_EQ(0.25f, kept->depth);
}

TEST(OrvObjectManager, SameNamesLoadBothAndTheFirstWins) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    OrvScriptNode first =
        OrvTestNode("twin", {"quad"}, {OrvTestNode("depth", {"0.1"}), OrvTestNode("zoom", {"2"})});
    OrvScriptNode second =
        OrvTestNode("twin", {"quad"}, {OrvTestNode("depth", {"0.2"}), OrvTestNode("zoom", {"5"})});
    OrvScriptNode copy = OrvTestNode("copy", {"duplicate", "twin"});
    OrvObject* a = objects.LoadObject(first, parameters);
    OrvObject* b = objects.LoadObject(second, parameters);
    OrvQuadTestObject* c = OrvQuad(objects.LoadObject(copy, parameters));
    ASSERT_EQ(3, objects.ObjectCount());
    EXPECT_NE(a, b);
    EXPECT_EQ(a, objects.Object("twin"));
    EXPECT_EQ(b, objects[1]);
    EXPECT_FLOAT_EQ(0.1f, c->depth);
    // The second twin's value must not land on the first twin, which owns the name.
    EXPECT_EQ("Warning: Initial value not applied, because an earlier object has the same "
              "name: twin.zoom\n",
              ctx.diagnostics.Text());
    EXPECT_FALSE(ctx.diagnostics.HasError());
    parameters.UpdateParameters(0);
    EXPECT_EQ(2.0, OrvQuad(a)->zoom);
    EXPECT_EQ(1.0, OrvQuad(b)->zoom);
}

TEST(OrvObjectManager, SwitchesAreNamedAfterTheObjectsAndRegisteredUnderObjects) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    CountingObserver observer;
    OrvScriptNode a = OrvTestNode("a", {"quad"});
    OrvScriptNode b = OrvTestNode("b", {"still"});
    OrvScriptNode bad = OrvTestNode("c", {"nothing"});
    OrvScriptNode never = OrvTestNode("d", {"quad"});
    std::vector<OrvScriptNode*> nodes = {&a, &b};
    objects.LoadObjects(nodes, parameters, observer);
    EXPECT_EQ(2, observer.steps);
    std::vector<OrvScriptNode*> failing = {&bad, &never};
    EXPECT_EQ("Object class could not be initialized: nothing",
              Raised([&] { objects.LoadObjects(failing, parameters, observer); }));
    EXPECT_EQ(2, observer.steps);
    ASSERT_EQ(2, objects.ObjectCount());

    EXPECT_EQ("a", objects.ParameterName(0));
    EXPECT_EQ("b", objects.ParameterName(1));
    EXPECT_EQ("", objects.ParameterName(2));
    EXPECT_EQ("", objects.ParameterName(-1));
    int before = parameters.ParameterCount();
    parameters.AddInterface("objects", objects);
    ASSERT_EQ(before + 2, parameters.ParameterCount());
    EXPECT_EQ("objects.a", parameters.FullName(before));
    EXPECT_EQ("objects.b", parameters.FullName(before + 1));

    OrvObject* objectA = objects.Object("a");
    OrvObject* objectB = objects.Object("b");
    EXPECT_FALSE(objectA->IsEnabled());
    ASSERT_TRUE(parameters.AddParameterHold("objects.a", 0, -1));
    ASSERT_TRUE(parameters.AddParameterHold("objects.a", 1000, 0));
    ASSERT_TRUE(parameters.AddParameterHold("objects.b", 500, 0.25));
    parameters.UpdateParameters(0);
    EXPECT_TRUE(objectA->IsEnabled());
    EXPECT_FALSE(objectB->IsEnabled());
    parameters.UpdateParameters(600);
    EXPECT_TRUE(objectB->IsEnabled());
    parameters.UpdateParameters(1000);
    EXPECT_FALSE(objectA->IsEnabled());
    objects.UpdateParameter(5, 1); // past the end: ignored
    EXPECT_EQ("", ctx.diagnostics.Text());
}
