#include "scene/Orv3dsMaterial.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "base/OrvDataFolder.h"
#include "gfx/OrvGlState.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvSceneContext.h"

#include <epoxy/gl.h>

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

Orv3dsMaterial::Orv3dsMaterial()
    : textureHandle(0), textured(false), shininess(0), blendMode(0), sphereMap(false) {}

Orv3dsMaterial::Orv3dsMaterial(const Orv3dsMaterialData& material,
                               std::map<std::string, std::string> overrides, OrvSceneContext& scene)
    : Orv3dsMaterial() {
    // Overrides name the texture as the file stores it; without one the texture is the
    // stored name's file in the data folder.
    std::string name = material.textureFile;
    auto replacement = overrides.find(material.textureName);
    if (replacement != overrides.end() && !replacement->second.empty())
        name = replacement->second;
    if (!name.empty())
        UseTexture(name, scene);
    StoreMaterialParams(material);
}

Orv3dsMaterial::Orv3dsMaterial(const Orv3dsMaterialData& material, const std::string& textureName,
                               OrvSceneContext& scene)
    : Orv3dsMaterial() {
    UseTexture(textureName, scene);
    StoreMaterialParams(material);
}

void Orv3dsMaterial::UseTexture(const std::string& name, OrvSceneContext& scene) {
    textureHandle = scene.Textures().Texture(FindTextureFile(scene.Files(), name)).handle;
    textured = true;
}

void Orv3dsMaterial::StoreMaterialParams(const Orv3dsMaterialData& material) {
    ambient.Set(material.ambient[0], material.ambient[1], material.ambient[2], 1);
    diffuse.Set(material.diffuse[0], material.diffuse[1], material.diffuse[2], 1);
    specular.Set(material.specular[0], material.specular[1], material.specular[2], 1);
    shininess = material.shininess;
}

std::string Orv3dsMaterial::FindTextureFile(const OrvDataFolder& files, const std::string& name) {
    struct stat status;
    if (name.empty() || stat(files.Path(name).c_str(), &status) == 0)
        return name;
    // Only plain names are matched: a name with a folder in it is left as written.
    if (name.find('/') != std::string::npos)
        return name;
    std::string folder = files.Folder();
    DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
    if (!directory)
        return name;
    std::string found = name;
    while (dirent* entry = readdir(directory)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(directory);
    return found;
}

void Orv3dsMaterial::DescribeParameters(OrvParameterTable& table) {
    table.Float("shininess", shininess);
    if (table.Custom("blendMode", blendMode)) {
        // C++'s remainder keeps the dividend's sign, as the mode rule wants.
        blendMode = OrvParameterTable::TruncateToInt(table.Value()) % 4;
    }
    table.TruncatedSwitch("sphereMap", sphereMap);
}

void Orv3dsMaterial::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("color", &color));
    children.push_back(OrvParameterInterfaceChild("ambient", &ambient));
    children.push_back(OrvParameterInterfaceChild("diffuse", &diffuse));
    children.push_back(OrvParameterInterfaceChild("specular", &specular));
}

void Orv3dsMaterial::Use() const {
    if (sphereMap || textured) {
        glEnable(GL_TEXTURE_2D);
        OrvGlState::BindTextureToUnit(0, textureHandle);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (sphereMap) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
    const GLfloat ambientColor[4] = {ambient.r, ambient.g, ambient.b, ambient.a};
    const GLfloat diffuseColor[4] = {diffuse.r, diffuse.g, diffuse.b, diffuse.a};
    const GLfloat specularColor[4] = {specular.r, specular.g, specular.b, specular.a};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambientColor);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuseColor);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specularColor);
    // OpenGL refuses a shininess outside 0..128 and keeps the previous one.
    GLfloat sendable = shininess >= 0.0f ? (shininess <= 128.0f ? shininess : 128.0f) : 0.0f;
    glMaterialf(GL_FRONT, GL_SHININESS, sendable);
    OrvGlState::SetBlend(blendMode);
}
