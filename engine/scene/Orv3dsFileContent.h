#ifndef ORV_SCENE_ORV3DSFILECONTENT_H
#define ORV_SCENE_ORV3DSFILECONTENT_H

// What the engine takes from a 3DS file: its triangle meshes and its materials, each list in
// the order of the file. A plain value made by Orv3dsFileReader; the meshes' material
// indices point into `materials`. A file may have neither.

#include "scene/Orv3dsMaterialData.h"
#include "scene/Orv3dsMeshData.h"

#include <vector>

struct Orv3dsFileContent {
    std::vector<Orv3dsMeshData> meshes;
    std::vector<Orv3dsMaterialData> materials;
};

#endif
