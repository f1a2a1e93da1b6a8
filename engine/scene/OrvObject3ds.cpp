#include "scene/OrvObject3ds.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <epoxy/gl.h>

#include <climits>
#include <cstdlib>

OrvObject3ds::OrvObject3ds(OrvSceneContext& scene)
    : OrvObject(scene), useShader(-1), wireframe(false), depthMask(true) {}

OrvObject3ds::~OrvObject3ds() {}

void OrvObject3ds::DescribeParameters(OrvParameterTable& table) {
    table.Integer("useShader", useShader, INT_MIN, static_cast<int>(shaders.size()) - 1);
    table.TruncatedSwitch("wireframe", wireframe);
    table.TruncatedSwitch("depthMask", depthMask);
}

void OrvObject3ds::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("", &model));
    for (std::size_t i = 0; i < shaders.size(); ++i) {
        std::string name = "shaders[" + std::to_string(i) + "]";
        children.push_back(OrvParameterInterfaceChild(name.c_str(), &shaders[i]));
    }
}

void OrvObject3ds::Init(OrvScriptNode& node) {
    useShader = -1;
    model.InitByScriptData(node, Scene());
    wireframe = false;
    depthMask = true;
    OrvShaderManager* shaderManager = &Scene().Shaders();
    for (OrvScriptNode* line : node.Children()) {
        std::deque<std::string> words = line->Args();
        if (line->IdEquals("shader")) {
            if (words.empty())
                continue;
            shaders.push_back(shaderManager->LoadShaderProgram(words, OrvShaderManager::Auto));
            useShader = 0;
            line->SetProcessed();
        } else if (line->IdEquals("meshShader")) {
            if (words.size() < 2)
                continue;
            int index = std::atoi(words.front().c_str());
            words.pop_front();
            if (index >= 0 && index < model.MeshCount())
                model.Mesh(index)->AddShader(
                    shaderManager->LoadShaderProgram(words, OrvShaderManager::Auto));
            line->SetProcessed();
        } else if (line->IdEquals("multiTextures")) {
            if (words.empty())
                continue;
            for (const std::string& file : words)
                extraTextures.push_back(Scene().Textures().Texture(file).handle);
            line->SetProcessed();
        } else if (line->IdEquals("generateTexCoords")) {
            for (int i = 0; i < model.MeshCount(); ++i)
                model.Mesh(i)->GenerateTexCoords();
            line->SetProcessed();
        }
    }
}

void OrvObject3ds::Update(unsigned) {
    for (OrvShaderProgram& program : shaders)
        program.UpdateUniforms();
    // The meshes' own programs have animatable uniforms too, and nobody else sends them.
    model.UpdateUniforms();
}

void OrvObject3ds::Draw(OrvDrawPass&) {
    if (wireframe) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_LINE_SMOOTH);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glLineWidth(2.0f);
    }
    if (!depthMask) {
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_FALSE);
    }
    for (std::size_t i = 0; i < extraTextures.size(); ++i)
        OrvGlState::BindTextureToUnit(1 + static_cast<int>(i), extraTextures[i]);
    if (useShader >= 0)
        shaders[static_cast<std::size_t>(useShader)].Use();
    model.Draw();
    OrvShaderProgram::UnUse();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

OrvObject* OrvObject3ds::Duplicate() {
    OrvObject3ds* copy = new OrvObject3ds(Scene());
    copy->model = model;
    copy->shaders = shaders;
    copy->useShader = useShader;
    copy->extraTextures = extraTextures;
    copy->wireframe = wireframe;
    copy->depthMask = depthMask;
    return copy;
}
