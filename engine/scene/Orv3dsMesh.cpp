#include "scene/Orv3dsMesh.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "scene/Orv3dsMaterial.h"

#include <GL/glew.h>

#include <climits>
#include <cstdio>

namespace {

// The unindexed triangle list of a per-vertex array: `width` floats of each face's corners.
std::vector<float> PerCorner(const Orv3dsMeshData& mesh, const std::vector<float>& values,
                             std::size_t width) {
    std::vector<float> corners;
    corners.reserve(mesh.faces.size() * 3 * width);
    for (const Orv3dsMeshData::Face& face : mesh.faces) {
        for (int vertex : face.vertex) {
            const float* value = &values[static_cast<std::size_t>(vertex) * width];
            corners.insert(corners.end(), value, value + width);
        }
    }
    return corners;
}

} // namespace

Orv3dsMesh::Orv3dsMesh(const Orv3dsMeshData& mesh)
    : name(mesh.name), vertexCount(static_cast<int>(mesh.faces.size()) * 3),
      buffers(std::make_shared<Orv3dsMeshBuffers>()), material(nullptr), uniformScale(1),
      lighting(true), generated(false), fileTexCoords(false), useShader(-1) {
    scaling.vector.Set(1, 1, 1);
    buffers->Upload(Orv3dsMeshBuffers::Positions, PerCorner(mesh, mesh.positions, 3));
    buffers->Upload(Orv3dsMeshBuffers::Normals, mesh.normals);
}

void Orv3dsMesh::AssignMaterial(const Orv3dsMeshData& mesh, Orv3dsMaterial& chosen) {
    material = &chosen;
    if (!chosen.IsTextured() || !mesh.HasTexCoords())
        return;
    buffers->Upload(Orv3dsMeshBuffers::TexCoords, PerCorner(mesh, mesh.texCoords, 2));
    fileTexCoords = true;
}

void Orv3dsMesh::GenerateTexCoords() {
    std::vector<float> coordinates;
    coordinates.reserve(static_cast<std::size_t>(vertexCount) * 2);
    const float step = vertexCount > 0 ? 1.0f / static_cast<float>(vertexCount) : 0.0f;
    float e = 0.0f;
    for (int k = 0; k < vertexCount; ++k) {
        coordinates.push_back(e);
        coordinates.push_back(e);
        e += step;
    }
    buffers->Upload(Orv3dsMeshBuffers::GeneratedTexCoords, coordinates);
    generated = true;
}

void Orv3dsMesh::AddShader(const OrvShaderProgram& program) {
    shaders.push_back(program);
    useShader = 0;
}

void Orv3dsMesh::UpdateUniforms() {
    for (OrvShaderProgram& program : shaders)
        program.UpdateUniforms();
}

void Orv3dsMesh::DescribeParameters(OrvParameterTable& table) {
    table.Float("scale", uniformScale);
    table.TruncatedSwitch("lighting", lighting);
    table.Integer("useShader", useShader, INT_MIN, static_cast<int>(shaders.size()) - 1);
}

void Orv3dsMesh::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("rot", &rotation));
    children.push_back(OrvParameterInterfaceChild("pos", &translation));
    children.push_back(OrvParameterInterfaceChild("scale", &scaling));
    for (std::size_t i = 0; i < shaders.size(); ++i) {
        char childName[32];
        std::snprintf(childName, sizeof childName, "shader[%d]", static_cast<int>(i));
        children.push_back(OrvParameterInterfaceChild(childName, &shaders[i]));
    }
}

void Orv3dsMesh::Draw() {
    if (lighting)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, buffers->Name(Orv3dsMeshBuffers::Normals));
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, buffers->Name(Orv3dsMeshBuffers::Positions));
    glVertexPointer(3, GL_FLOAT, 0, nullptr);

    if (material) {
        material->Use();
        // Without coordinates a texture would show one texel over the whole mesh.
        if (material->IsTextured() && !material->SphereMap() && !HasTexCoords())
            glDisable(GL_TEXTURE_2D);
    }
    if (useShader >= 0)
        shaders[useShader].Use();

    if (HasTexCoords()) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER,
                     buffers->Name(generated ? Orv3dsMeshBuffers::GeneratedTexCoords
                                             : Orv3dsMeshBuffers::TexCoords));
        glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    translation.vector.DoGlTranslate();
    rotation.vector.DoGlRotate();
    scaling.vector.DoGlScale();
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);

    if (useShader >= 0)
        OrvShaderProgram::UnUse();
}
