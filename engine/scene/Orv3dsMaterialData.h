#ifndef ORV_SCENE_ORV3DSMATERIALDATA_H
#define ORV_SCENE_ORV3DSMATERIALDATA_H

// One material of a 3DS file as the engine uses it, copied out of lib3ds by
// Orv3dsFileReader: a plain value that owns its strings and depends on no library.

#include <string>

struct Orv3dsMaterialData {
    // As stored in the file (faces name their material by it); may be empty.
    std::string name;
    // Front-face colours, red, green, blue from 0 to 1.
    float ambient[3] = {0.0f, 0.0f, 0.0f};
    float diffuse[3] = {0.0f, 0.0f, 0.0f};
    float specular[3] = {0.0f, 0.0f, 0.0f};
    // The material's shininess exactly as lib3ds gives it (its percentage chunk over 100).
    float shininess = 0.0f;
    // The file name of the first texture map as stored in the file; empty for none.
    std::string textureName;
    // The data folder's file the texture is read from: the stored name's last component after
    // any '/' or '\\' (a model written on Windows may store "C:\\MAPS\\WOOD.JPG"), so a
    // model never reaches a file outside the data folder. Empty for none.
    std::string textureFile;
};

#endif
