#ifndef ORV_TESTS_OBJECTS_ORVQUADTESTOBJECT_H
#define ORV_TESTS_OBJECTS_ORVQUADTESTOBJECT_H

// A scene object for tests of the object manager and the render lines.
//
// It draws one quad from (-1, -1) to (1, 1) at depth `depth`, scaled by its parameter "zoom"
// (glScalef, left in force: with Flags() 1 it applies to the objects after it), in the colour
// of its block "col" (starts opaque white), with depth testing (GL_LEQUAL). Under identity
// matrices the quad covers the whole viewport.
//
// Block keys its Init reads and marks processed: "depth z", "flags n", and "fail", which makes
// Init raise "Test quad refused its block". It counts its Update calls and draws.
//
// OrvTestObjectManager builds it for the class words "quad" (can be duplicated) and "still"
// (cannot), and otherwise asks the engine's factory.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterInterfaceChild.h"
#include "base/OrvException.h"
#include "scene/OrvObject.h"
#include "scene/OrvObjectManager.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

class OrvQuadTestObject : public OrvObject {
public:
    OrvQuadTestObject(OrvSceneContext& scene, bool duplicable)
        : OrvObject(scene), duplicable(duplicable) {
        col.Set(1, 1, 1, 1);
    }

    void Init(OrvScriptNode& node) override {
        for (OrvScriptNode* line : node.Children()) {
            const std::vector<std::string>& args = line->ArgsRef();
            if (line->IdEquals("depth") && !args.empty())
                depth = static_cast<float>(std::atof(args[0].c_str()));
            else if (line->IdEquals("flags") && !args.empty())
                flags = static_cast<unsigned>(std::atoi(args[0].c_str()));
            else if (line->IdEquals("fail"))
                throw OrvException("Test quad refused its block");
            else
                continue;
            line->SetProcessed();
        }
    }

    void Draw(OrvDrawPass&) override {
        ++draws;
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glScalef(static_cast<float>(zoom), static_cast<float>(zoom), 1);
        glColor4f(col.r, col.g, col.b, col.a);
        glBegin(GL_QUADS);
        glVertex3f(-1, -1, depth);
        glVertex3f(1, -1, depth);
        glVertex3f(1, 1, depth);
        glVertex3f(-1, 1, depth);
        glEnd();
    }

    void Update(unsigned elapsedMs) override {
        ++updates;
        elapsedTotal += elapsedMs;
    }
    unsigned Flags() override { return flags; }
    OrvObject* Duplicate() override { return duplicable ? new OrvQuadTestObject(*this) : nullptr; }

    std::string ParameterName(int index) override { return index == 0 ? "zoom" : ""; }
    void UpdateParameter(int index, double value) override {
        if (index == 0)
            zoom = value;
    }
    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override {
        children.push_back(OrvParameterInterfaceChild("col", &col));
    }

    bool duplicable;
    float depth = 0;
    unsigned flags = 0;
    double zoom = 1;
    OrvColorParameter col;
    int updates = 0;
    unsigned elapsedTotal = 0;
    int draws = 0;
};

class OrvTestObjectManager : public OrvObjectManager {
public:
    explicit OrvTestObjectManager(OrvSceneContext& scene) : OrvObjectManager(scene), scene(scene) {}

protected:
    OrvObject* CreateObject(const std::string& classWord) override {
        if (classWord == "quad")
            return new OrvQuadTestObject(scene, true);
        if (classWord == "still")
            return new OrvQuadTestObject(scene, false);
        return OrvObjectManager::CreateObject(classWord);
    }

private:
    OrvSceneContext& scene;
};

// A script node built in place: identifier, arguments, and the lines of its block.
inline OrvScriptNode OrvTestNode(const std::string& id, std::deque<std::string> args,
                                 std::vector<OrvScriptNode> block = {}) {
    OrvScriptNode node(id, args);
    for (const OrvScriptNode& line : block)
        node.AddChild(line);
    return node;
}

inline OrvQuadTestObject* OrvQuad(OrvObject* object) {
    return dynamic_cast<OrvQuadTestObject*>(object);
}

#endif
