#ifndef ORV_SCENE_ORV3DSMESH_H
#define ORV_SCENE_ORV3DSMESH_H

// One mesh of a 3DS model, drawn from vertex buffers as an unindexed triangle list (per-corner
// positions and normals, and texture coordinates when it needs them) with its own transform,
// lighting switch, material and optional shader programs.
//
// Parameters: 0 "scale" (float, not used when drawing), 1 "lighting" (on when the truncated
// value is not 0; starts on), 2 "useShader" (truncated; at most the last program, so -1
// without programs; negative means none). Children: "rot" (degrees about x, then y, then z),
// "pos", "scale" (starts 1, 1, 1), then "shader[0]", "shader[1]", ... one per program, whose
// uniforms appear under it.
//
// Texture coordinates: the file's are uploaded when a textured material is assigned and the
// file has them; GenerateTexCoords gives corner k the coordinates (e, e) with e = k / corners
// accumulated in single precision (0, 1/6, 2/6, ... for two faces) and is used from then on.
// A mesh without coordinates draws its textured material untextured (sphere mapping makes its
// own), and never with another mesh's coordinates: the texture-coordinate array is switched
// off for it.
//
// Draw needs a current context: it switches lighting, enables the vertex and normal arrays
// from its buffers, applies the material, makes its program current, multiplies its transform
// onto the modelview matrix and draws; it leaves the arrays enabled and the program back at 0
// (the model saves and restores the matrix and the attribute groups around it, and switches
// the arrays off after its last mesh). It allocates nothing.
//
// Ownership: the buffers are shared with copies of the mesh (a duplicated model) and go with
// the last of them (Orv3dsMeshBuffers). The material belongs to the model; the mesh keeps a
// pointer that the model sets. Programs are copies sharing their OpenGL objects with the
// shader manager, which owns them.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvVector3Parameter.h"
#include "gfx/OrvShaderProgram.h"
#include "scene/Orv3dsMeshBuffers.h"
#include "scene/Orv3dsMeshData.h"

#include <memory>
#include <string>
#include <vector>

class Orv3dsMaterial;

class Orv3dsMesh : public OrvParameterInterface {
public:
    // Uploads positions and normals. Needs a current context.
    explicit Orv3dsMesh(const Orv3dsMeshData& mesh);

    // Sets the material; uploads the file's texture coordinates when it is textured.
    void AssignMaterial(const Orv3dsMeshData& mesh, Orv3dsMaterial& material);
    // Points at another material without uploading anything (a copied model's own list).
    void SetMaterial(Orv3dsMaterial* material) { this->material = material; }
    void GenerateTexCoords();
    void AddShader(const OrvShaderProgram& program);
    // Sends the animated uniforms of every program of the mesh.
    void UpdateUniforms();

    void Draw();

    const std::string& Name() const { return name; }
    int VertexCount() const { return vertexCount; }
    Orv3dsMaterial* Material() const { return material; }
    // True when Draw feeds texture coordinates (the file's or generated ones).
    bool HasTexCoords() const { return generated || fileTexCoords; }
    bool Lighting() const { return lighting; }
    int UseShader() const { return useShader; }
    int ShaderCount() const { return static_cast<int>(shaders.size()); }
    OrvVector3Parameter& Translation() { return translation; }
    OrvVector3Parameter& Rotation() { return rotation; }
    OrvVector3Parameter& Scale() { return scaling; }
    const Orv3dsMeshBuffers& Buffers() const { return *buffers; }

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    std::string name;
    int vertexCount;
    std::shared_ptr<Orv3dsMeshBuffers> buffers;
    OrvVector3Parameter rotation;
    OrvVector3Parameter translation;
    OrvVector3Parameter scaling;
    Orv3dsMaterial* material;
    float uniformScale;
    bool lighting;
    bool generated;
    bool fileTexCoords;
    int useShader;
    std::vector<OrvShaderProgram> shaders;
};

#endif
