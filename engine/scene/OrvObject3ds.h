#ifndef ORV_SCENE_ORVOBJECT3DS_H
#define ORV_SCENE_ORVOBJECT3DS_H

// The scene object of class word "3ds": a 3D model from a 3DS file (Orv3dsFile), drawn lit by
// the environment and seen through the camera drawn before it, with whole-model shader
// programs, extra texture units, wireframe and depth-write switches. The one object class
// that can be duplicated: "copy: duplicate ship" places the same loaded model again.
//
// Script: "name: 3ds FILE {". Block keys besides the model's "override" and "texture":
//   "shader: FILES..."          a program for the whole model; useShader becomes 0
//   "meshShader: I FILES..."    a program for mesh I only (an index out of range loads none)
//   "multiTextures: FILES..."   textures bound to units 1, 2, ... while the model draws
//   "generateTexCoords"         every mesh gets generated texture coordinates
// A key without the words it needs is left unprocessed (the object manager reports it).
//
// Parameters: 0 "useShader" (truncated; at most the last program, -1 without programs;
// negative means none; starts -1, or 0 with a "shader" line), 1 "wireframe", 2 "depthMask"
// (each on when the truncated value is not 0; wireframe starts off, depthMask on). Children:
// the model under the empty name (so "ship.pos.x", "ship.meshes.Hull.lighting",
// "ship.mesh[2].rot.y", "ship.materials[0].diffuse.r"), then "shaders[0]", "shaders[1]"...
//
// Update sends the uniforms of the model's programs and of its meshes' programs. Draw sets
// wireframe (lines two pixels wide, no depth test) and the depth mask, binds the extra
// textures, makes the program current and draws the model; render lines save and restore
// the state around it (Flags() is 0). Neither allocates.
//
// Ownership: the object owns its model and program copies; OpenGL objects belong to the
// texture and shader managers and to the meshes' shared buffers. A duplicate copies the
// model (its own parameters and materials, shared buffers), programs, extra textures and
// switches, and is not initialised again.

#include "gfx/OrvShaderProgram.h"
#include "scene/Orv3dsFile.h"
#include "scene/OrvObject.h"

#include <deque>
#include <string>
#include <vector>

class OrvSceneContext;

class OrvObject3ds : public OrvObject {
public:
    explicit OrvObject3ds(OrvSceneContext& scene);
    ~OrvObject3ds() override;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;
    void Init(OrvScriptNode& node) override;
    std::vector<std::string> KeyWords() const override {
        return {"override",   "texture",       "shader",
                "meshShader", "multiTextures", "generateTexCoords"};
    }
    void Draw(OrvDrawPass& pass) override;
    void Update(unsigned elapsedMs) override;
    OrvObject* Duplicate() override;

    Orv3dsFile& Model() { return model; }
    int ShaderCount() const { return static_cast<int>(shaders.size()); }
    int UseShader() const { return useShader; }
    bool Wireframe() const { return wireframe; }
    bool DepthMask() const { return depthMask; }
    const std::vector<unsigned>& ExtraTextures() const { return extraTextures; }

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    Orv3dsFile model;
    std::deque<OrvShaderProgram> shaders; // a deque: adding never moves the earlier ones
    int useShader;
    std::vector<unsigned> extraTextures;
    bool wireframe;
    bool depthMask;
};

#endif
