// Every parameter of every class can be read back after it was set, as the value that sets it
// again: what the engine relies on to return to the state at the end of loading.

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvRangeParameter.h"
#include "gfx/OrvShaderVariable.h"
#include "scene/OrvLightSource.h"
#include "scene/OrvObjectCamera.h"
#include "scene/OrvObjectEnviroment.h"
#include "scene/OrvObjectImage.h"
#include "support/OrvTestContext.h"

#include "OrvQuadTestObject.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct Parameter {
    std::string name; // path below the root, e.g. "light[2].diffuse.r"
    OrvParameterInterface* owner;
    int index;
};

void Collect(const std::string& prefix, OrvParameterInterface& node, std::vector<Parameter>& out) {
    for (int i = 0;; ++i) {
        std::string name = node.ParameterName(i);
        if (name.empty())
            break;
        out.push_back({prefix.empty() ? name : prefix + "." + name, &node, i});
    }
    std::vector<OrvParameterInterfaceChild> children;
    node.ChildParameterInterfaces(children);
    for (const OrvParameterInterfaceChild& child : children) {
        std::string path = child.name.empty() ? prefix
                           : prefix.empty()   ? child.name
                                              : prefix + "." + child.name;
        Collect(path, *child.interface, out);
    }
}

// Stores a different whole number into every parameter (so a parameter bound to another's
// field shows), reads them all back, and checks each against what was stored or against
// `converted` for those whose conversion changes the value. Then stores what was read and
// reads again: the second round must not change anything. Returns how many were checked.
int ExpectReadBack(OrvParameterInterface& root, const std::map<std::string, double>& converted) {
    std::vector<Parameter> parameters;
    Collect("", root, parameters);
    for (std::size_t k = 0; k < parameters.size(); ++k)
        parameters[k].owner->UpdateParameter(parameters[k].index, 3.0 + k);

    std::vector<double> read(parameters.size());
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        const Parameter& p = parameters[k];
        EXPECT_TRUE(p.owner->ReadParameter(p.index, read[k])) << p.name;
        auto special = converted.find(p.name);
        double expected = special != converted.end() ? special->second : 3.0 + k;
        EXPECT_EQ(expected, read[k]) << p.name;
    }
    for (std::size_t k = 0; k < parameters.size(); ++k)
        parameters[k].owner->UpdateParameter(parameters[k].index, read[k]);
    for (std::size_t k = 0; k < parameters.size(); ++k) {
        double again = -1;
        parameters[k].owner->ReadParameter(parameters[k].index, again);
        EXPECT_EQ(read[k], again) << parameters[k].name;
    }
    // A number past the end has nothing to read, and leaves the value alone.
    double untouched = 42;
    EXPECT_FALSE(root.ReadParameter(-1, untouched));
    EXPECT_EQ(42, untouched);
    return static_cast<int>(parameters.size());
}

} // namespace

TEST(OrvParameterReadBack, EveryClassGivesBackWhatWasSet) {
    OrvRangeParameter range;
    EXPECT_EQ(2, ExpectReadBack(range, {}));

    OrvLightSource light(3);
    // "enable" is a switch; it also set pos.w, which the next parameter overwrote.
    EXPECT_EQ(7 + 3 * 4 + 2 * 3, ExpectReadBack(light, {{"enable", 1}}));

    OrvTestContext ctx;
    OrvScriptNode empty;
    OrvObjectCamera camera(ctx.scene);
    camera.Init(empty);
    EXPECT_EQ(4 + 9, ExpectReadBack(camera, {}));

    OrvObjectEnviroment environment(ctx.scene);
    environment.Init(empty);
    std::map<std::string, double> switches = {{"lighting", 1}, {"fog", 1}};
    for (int i = 0; i < 8; ++i)
        switches["light[" + std::to_string(i) + "].enable"] = 1;
    EXPECT_EQ(3 + 8 + 8 * (7 + 18), ExpectReadBack(environment, switches));

    // Without pictures the frame stays 0, without programs useShader stays -1; a blend mode
    // past 3 (here 11) is 0.
    OrvObjectImage image(ctx.scene);
    EXPECT_EQ(13 + 4, ExpectReadBack(image, {{"stretch", 1},
                                             {"frame", 0},
                                             {"useShader", -1},
                                             {"multiTexturing", 1},
                                             {"blend", 0}}));

    OrvShaderVariable scalar(1, "time", GL_FLOAT, 0);
    OrvShaderVariable vector(1, "tint", GL_FLOAT_VEC3, 1);
    EXPECT_EQ(1, ExpectReadBack(scalar, {}));
    EXPECT_EQ(3, ExpectReadBack(vector, {}));
    EXPECT_EQ(4.0f, vector.Value(1));
}

TEST(OrvParameterReadBack, ObjectSwitchesOfTheManager) {
    OrvTestContext ctx;
    OrvTestObjectManager objects(ctx.scene);
    OrvParameterManager parameters(ctx.diagnostics, ctx.run.Random());
    OrvScriptNode a = OrvTestNode("a", {"quad"});
    OrvScriptNode b = OrvTestNode("b", {"quad"});
    objects.LoadObject(a, parameters);
    objects.LoadObject(b, parameters);
    EXPECT_EQ(2, ExpectReadBack(objects, {{"a", 1}, {"b", 1}}));

    objects.UpdateParameter(1, 0.0);
    double value = -1;
    ASSERT_TRUE(objects.ReadParameter(1, value));
    EXPECT_EQ(0.0, value);
    EXPECT_FALSE(objects[1]->IsEnabled());
    EXPECT_TRUE(objects[0]->IsEnabled());
}
