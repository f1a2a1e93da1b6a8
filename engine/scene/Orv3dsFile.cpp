#include "scene/Orv3dsFile.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "base/OrvException.h"
#include "scene/Orv3dsFileReader.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <GL/glew.h>

#include <cstdlib>

Orv3dsFile::Orv3dsFile() {
    scaling.vector.Set(1, 1, 1);
}

Orv3dsFile::Orv3dsFile(const Orv3dsFile& other)
    : OrvParameterInterface(other), meshes(other.meshes), materials(other.materials),
      meshMaterial(other.meshMaterial), textureOverrides(other.textureOverrides),
      meshTextures(other.meshTextures), rotation(other.rotation), translation(other.translation),
      scaling(other.scaling) {
    PointMeshesAtOwnMaterials();
}

Orv3dsFile& Orv3dsFile::operator=(const Orv3dsFile& other) {
    if (this != &other) {
        meshes = other.meshes;
        materials = other.materials;
        meshMaterial = other.meshMaterial;
        textureOverrides = other.textureOverrides;
        meshTextures = other.meshTextures;
        rotation = other.rotation;
        translation = other.translation;
        scaling = other.scaling;
        PointMeshesAtOwnMaterials();
    }
    return *this;
}

void Orv3dsFile::PointMeshesAtOwnMaterials() {
    for (std::size_t i = 0; i < meshes.size() && i < meshMaterial.size(); ++i)
        meshes[i].SetMaterial(&materials[static_cast<std::size_t>(meshMaterial[i])]);
}

void Orv3dsFile::InitByScriptData(OrvScriptNode& node, OrvSceneContext& scene) {
    const std::vector<std::string>& args = node.ArgsRef();
    if (args.size() < 2)
        throw OrvException("Could not initialize " + node.Id() +
                           " because the .3ds file was not defined.");
    for (OrvScriptNode* line : node.Children()) {
        const std::vector<std::string>& words = line->ArgsRef();
        if (line->IdEquals("override")) {
            if (words.size() >= 2)
                textureOverrides[words[0]] = words[1];
            line->SetProcessed();
        } else if (line->IdEquals("texture")) {
            if (words.size() >= 2)
                meshTextures[std::atoi(words[0].c_str())] = words[1];
            line->SetProcessed();
        }
    }
    LoadFile(args[1], scene);
}

void Orv3dsFile::LoadFile(const std::string& name, OrvSceneContext& scene) {
    Orv3dsFileContent content = Orv3dsFileReader::ReadDataFile(scene.Files(), name);
    meshes.clear();
    materials.clear();
    meshMaterial.clear();

    for (const Orv3dsMaterialData& material : content.materials)
        materials.emplace_back(material, textureOverrides, scene);
    if (materials.empty())
        materials.emplace_back();

    // The file's own material for a mesh with a texture line; the default one without any.
    const Orv3dsMaterialData noMaterial;
    for (std::size_t i = 0; i < content.meshes.size(); ++i) {
        const Orv3dsMeshData& data = content.meshes[i];
        meshes.emplace_back(data);
        int first = data.faces.empty() ? -1 : data.faces[0].material;
        int chosen = first < 0 ? 0 : first;
        auto texture = meshTextures.find(static_cast<int>(i));
        if (texture != meshTextures.end() && !texture->second.empty()) {
            const Orv3dsMaterialData& base =
                content.materials.empty() ? noMaterial
                                          : content.materials[static_cast<std::size_t>(chosen)];
            materials.emplace_back(base, texture->second, scene);
            chosen = static_cast<int>(materials.size()) - 1;
        }
        meshMaterial.push_back(chosen);
        meshes.back().AssignMaterial(data, materials[static_cast<std::size_t>(chosen)]);
    }
}

void Orv3dsFile::UpdateUniforms() {
    for (Orv3dsMesh& mesh : meshes)
        mesh.UpdateUniforms();
}

void Orv3dsFile::Draw() {
    translation.vector.DoGlTranslate();
    rotation.vector.DoGlRotate();
    scaling.vector.DoGlScale();
    for (Orv3dsMesh& mesh : meshes) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glPushMatrix();
        mesh.Draw();
        glPopMatrix();
        glPopAttrib();
    }
    // Vertex arrays are client state, which no attribute push saves: leave none behind for
    // the objects drawn next.
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Orv3dsFile::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("rot", &rotation));
    children.push_back(OrvParameterInterfaceChild("pos", &translation));
    children.push_back(OrvParameterInterfaceChild("scale", &scaling));
    for (std::size_t i = 0; i < meshes.size(); ++i) {
        std::string name = meshes[i].Name().empty() ? "mesh[" + std::to_string(i) + "]"
                                                    : "meshes." + meshes[i].Name();
        children.push_back(OrvParameterInterfaceChild(name.c_str(), &meshes[i]));
    }
    for (std::size_t i = 0; i < materials.size(); ++i) {
        std::string name = "materials[" + std::to_string(i) + "]";
        children.push_back(OrvParameterInterfaceChild(name.c_str(), &materials[i]));
    }
}
