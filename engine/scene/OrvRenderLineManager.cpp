#include "scene/OrvRenderLineManager.h"

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "scene/OrvObject.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLine.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <memory>

OrvRenderLineManager::OrvRenderLineManager(OrvSceneContext& scene)
    : scene(scene), objects(nullptr) {}

OrvRenderLineManager::~OrvRenderLineManager() {
    for (auto& line : lines)
        delete line.second;
}

void OrvRenderLineManager::Init(OrvObjectManager& objectManager) {
    objects = &objectManager;
}

void OrvRenderLineManager::LoadRenderLines(std::vector<OrvScriptNode*>& nodes,
                                           OrvParameterManager& parameters) {
    for (OrvScriptNode* node : nodes)
        LoadRenderLine(*node, parameters);
    for (auto& line : lines)
        line.second->CheckBuffer();
}

OrvRenderLine* OrvRenderLineManager::LoadRenderLine(OrvScriptNode& node,
                                                    OrvParameterManager& parameters) {
    if (!objects)
        throw OrvException("Render lines loaded before the object manager was given");
    std::unique_ptr<OrvRenderLine> line(new OrvRenderLine(scene));
    std::string name = node.Id();
    line->Init(node, *objects);
    OrvRenderLine* stored = line.release();
    lines.push_back(std::make_pair(name, stored));
    OrderSimulation();
    parameters.AddInterface(name, *stored);
    return stored;
}

void OrvRenderLineManager::OrderSimulation() {
    // Made while loading, so a frame walks a ready list and allocates nothing.
    simulated.clear();
    auto add = [this](OrvObject* object) {
        if (std::find(simulated.begin(), simulated.end(), object) == simulated.end())
            simulated.push_back(object);
    };
    for (auto& entry : lines)
        for (int i = 0; i < entry.second->DrawListSize(); ++i)
            add(entry.second->DrawListObject(i));
    for (int i = 0; objects && i < objects->ObjectCount(); ++i)
        add((*objects)[i]);
}

void OrvRenderLineManager::Simulate(unsigned elapsedMs) {
    if (simulated.empty() && objects && objects->ObjectCount() > 0)
        OrderSimulation(); // objects loaded after the last render line
    for (OrvObject* object : simulated)
        object->Update(elapsedMs);
}

void OrvRenderLineManager::RenderAll(unsigned elapsedMs) {
    Simulate(elapsedMs);
    Render();
}

void OrvRenderLineManager::Render() {
    for (auto& entry : lines) {
        OrvRenderLine* line = entry.second;
        // Always the modelview stack: a camera may leave the projection selected, and a save
        // on one stack with a restore on the other would unbalance both.
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        line->Draw(eye);
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glFlush();
    }
}
