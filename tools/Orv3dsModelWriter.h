#ifndef ORV_TOOLS_ORV3DSMODELWRITER_H
#define ORV_TOOLS_ORV3DSMODELWRITER_H

// Writes 3DS files with lib3ds's own writer (lib3ds_file_save), for the show's model maker and
// for the test models, so both produce files that a real 3DS writer made. Meshes and materials
// are written in exactly the order given: the engine numbers them in file order, and lib3ds's
// insert functions would sort them by name, so the lists are linked by hand.
// Owns nothing beyond one call; never reads a file and never touches the engine.

#include <cstdint>
#include <string>
#include <vector>

struct Orv3dsModelMaterial {
    std::string name;
    float ambient[3] = {0.2f, 0.2f, 0.2f};
    float diffuse[3] = {0.8f, 0.8f, 0.8f};
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float shininess = 0.0f; // the 3DS percentage over 100, as lib3ds stores it
    std::string texture;    // first texture map's file name; empty for none
};

struct Orv3dsModelMesh {
    std::string name;
    std::vector<float> positions;           // x, y, z per vertex
    std::vector<float> texCoords;           // u, v per vertex, or empty
    std::vector<int> corners;               // three vertex indices per face
    std::vector<std::string> faceMaterials; // one material name per face, "" for none
    std::vector<uint32_t> smoothing;        // one mask per face; empty for all 0
};

class Orv3dsModelWriter {
public:
    std::vector<Orv3dsModelMaterial> materials;
    std::vector<Orv3dsModelMesh> meshes;
    // Also write a key-framer section with one object node per mesh (ids 0, 1, ...).
    bool keyframer = false;

    // False when lib3ds could not write the file.
    bool Save(const std::string& path) const;
};

#endif
