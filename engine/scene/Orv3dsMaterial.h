#ifndef ORV_SCENE_ORV3DSMATERIAL_H
#define ORV_SCENE_ORV3DSMATERIAL_H

// One material of a 3DS model: front-face colours, shininess, an optional texture, a blend
// mode and sphere mapping, applied as OpenGL material and texture state before a mesh draws.
//
// Made from a material of the file (Orv3dsMaterialData) and the model's texture overrides
// (texture name as stored in the file -> replacement file; an empty replacement keeps the
// file's name; without a replacement the texture is the stored name's last component, its
// textureFile, so a model's names stay inside the data folder), or from a material of the file and
// a texture file given by the script; or default (all colours 0, untextured) for a file without
// materials. Colours take the file's RGB with alpha 1; shininess is the file's value unchanged. A
// texture comes from the texture manager (raising its errors); its file is looked up in the data
// folder by its exact name, and when no file has that name, by the same name in any letter case,
// since 3DS files were written on systems that ignore case ("TEST.PNG" finds "test.png").
//
// Parameters: 0 "shininess" (float), 1 "blendMode" (truncated toward zero, then the remainder
// of a division by 4 with the dividend's sign: 5 gives 1, -1 gives -1 which blends nothing;
// 1 alpha, 2 additive, 3 maximum as OrvGlState's modes), 2 "sphereMap" (on when the
// truncated value is not 0). Children: "color" (not used when drawing), "ambient",
// "diffuse", "specular".
//
// Use() needs a current context: it enables texturing on unit 0 with the texture (0 when a
// sphere-mapped material has none) or disables it, switches sphere-map coordinate generation
// on or off, sends the colours and shininess for front faces, and sets blending. It restores
// nothing (the model saves the attribute groups around each mesh) and allocates nothing.
//
// A plain value: copies are independent sets of parameters sharing the texture, which belongs
// to the texture manager.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterInterface.h"
#include "scene/Orv3dsMaterialData.h"

#include <map>
#include <string>
#include <vector>

class OrvDataFolder;
class OrvSceneContext;

class Orv3dsMaterial : public OrvParameterInterface {
public:
    Orv3dsMaterial();
    // The texture comes from the scene's textures, its file from the scene's data folder.
    Orv3dsMaterial(const Orv3dsMaterialData& material, std::map<std::string, std::string> overrides,
                   OrvSceneContext& scene);
    Orv3dsMaterial(const Orv3dsMaterialData& material, const std::string& textureName,
                   OrvSceneContext& scene);

    bool IsTextured() const { return textured; }
    unsigned TextureHandle() const { return textureHandle; }
    int BlendMode() const { return blendMode; }
    bool SphereMap() const { return sphereMap; }
    float Shininess() const { return shininess; }

    void Use() const;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    // The data folder's file for a texture name: the exact name when that file exists, else
    // the first file whose name differs only in letter case, else the name unchanged.
    static std::string FindTextureFile(const OrvDataFolder& files, const std::string& name);

    OrvColorParameter color;
    OrvColorParameter ambient;
    OrvColorParameter diffuse;
    OrvColorParameter specular;

protected:
    void DescribeParameters(OrvParameterTable& table) override;
    void StoreMaterialParams(const Orv3dsMaterialData& material);

private:
    void UseTexture(const std::string& name, OrvSceneContext& scene);

    unsigned textureHandle;
    bool textured;
    float shininess;
    int blendMode;
    bool sphereMap;
};

#endif
