#ifndef ORV_SCENE_ORV3DSFILE_H
#define ORV_SCENE_ORV3DSFILE_H

// A loaded 3DS model: its meshes and materials, the script's texture replacements, and a
// model-wide transform, all animatable.
//
// Script lines it reads from the object's block: "override: NAME FILE" (the file's texture
// NAME is drawn from FILE instead; with fewer than two words it is ignored) and "texture: I
// FILE" (mesh I gets a material of its own: its material with FILE as texture; a later line
// for the same mesh wins). Both are marked processed whatever they hold. The object's line
// names the file: "name: 3ds FILE"; without it InitByScriptData raises "Could not initialize
// " + name + " because the .3ds file was not defined.".
//
// LoadFile reads the file (Orv3dsFileReader, which raises "Unable to load .3ds file: " + path
// and, for a damaged file, ": " and what is wrong), makes one material per material of the
// file in file order (one default material for a file without), then one mesh per mesh in
// file order, each with the material of its first face; a mesh with a "texture" line gets a
// new material appended to the list, made from that material and the file. A mesh whose first
// face has no material, or that has no faces, uses material 0 (also for its "texture" line).
//
// Parameters: none of its own. Children: "rot" (degrees about x, then y, then z), "pos",
// "scale" (starts 1, 1, 1); then each mesh as "meshes." + its name, or "mesh[I]" when it has
// none; then each material as "materials[I]".
//
// Draw multiplies the transform onto the modelview matrix and draws every mesh between a save
// and a restore of the matrix and of all attribute groups; afterwards it switches off the
// vertex arrays the meshes used and unbinds GL_ARRAY_BUFFER. It allocates nothing.
//
// Ownership: the model owns its meshes and materials (deques: their addresses never change,
// so the parameter manager's pointers and the meshes' material pointers stay valid). A copy
// (a duplicated model) has its own parameters and materials, its meshes use the copy's own
// materials, and it shares the vertex buffers, textures and programs of the original.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvVector3Parameter.h"
#include "scene/Orv3dsMaterial.h"
#include "scene/Orv3dsMesh.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

class OrvScriptNode;

class OrvSceneContext;

class Orv3dsFile : public OrvParameterInterface {
public:
    Orv3dsFile();
    Orv3dsFile(const Orv3dsFile& other);
    Orv3dsFile& operator=(const Orv3dsFile& other);

    // The scene gives the data folder and the textures of the show the model belongs to.
    void InitByScriptData(OrvScriptNode& node, OrvSceneContext& scene);
    void LoadFile(const std::string& name, OrvSceneContext& scene);

    int MeshCount() const { return static_cast<int>(meshes.size()); }
    // The caller keeps 0 <= index < MeshCount().
    Orv3dsMesh* Mesh(int index) { return &meshes[index]; }
    int MaterialCount() const { return static_cast<int>(materials.size()); }
    // The caller keeps 0 <= index < MaterialCount().
    Orv3dsMaterial* Material(int index) { return &materials[index]; }
    OrvVector3Parameter& Rotation() { return rotation; }
    OrvVector3Parameter& Translation() { return translation; }
    OrvVector3Parameter& Scale() { return scaling; }

    // Sends the uniforms of every mesh's programs.
    void UpdateUniforms();
    void Draw();

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

private:
    // Points every mesh at this model's own material of the same position.
    void PointMeshesAtOwnMaterials();

    std::deque<Orv3dsMesh> meshes;
    std::deque<Orv3dsMaterial> materials;
    std::vector<int> meshMaterial; // per mesh, its material's position in `materials`
    std::map<std::string, std::string> textureOverrides;
    std::map<int, std::string> meshTextures;
    OrvVector3Parameter rotation;
    OrvVector3Parameter translation;
    OrvVector3Parameter scaling;
};

#endif
