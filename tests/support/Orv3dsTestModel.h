#ifndef ORV_TESTS_SUPPORT_ORV3DSTESTMODEL_H
#define ORV_TESTS_SUPPORT_ORV3DSTESTMODEL_H

// Test models written by lib3ds's own writer (lib3ds_file_save), so the tests read files
// that a real 3DS writer made, with meshes and materials in exactly the order given here
// (the lists are linked by hand: lib3ds's insert functions would sort them by name).
// Used by the tests and by the fuzzer's seed maker; needs lib3ds and nothing of the engine.

#include <cstdint>
#include <string>
#include <vector>

struct Orv3dsTestMaterial {
    std::string name;
    float ambient[3] = {0.2f, 0.2f, 0.2f};
    float diffuse[3] = {0.8f, 0.8f, 0.8f};
    float specular[3] = {0.0f, 0.0f, 0.0f};
    float shininess = 0.0f;
    std::string texture; // first texture map's file name; empty for none
};

struct Orv3dsTestMesh {
    std::string name;
    std::vector<float> positions;           // x, y, z per vertex
    std::vector<float> texCoords;           // u, v per vertex, or empty
    std::vector<int> corners;               // three vertex indices per face
    std::vector<std::string> faceMaterials; // one material name per face, "" for none
    std::vector<uint32_t> smoothing;        // one mask per face; empty for all 0
};

class Orv3dsTestModel {
public:
    std::vector<Orv3dsTestMaterial> materials;
    std::vector<Orv3dsTestMesh> meshes;
    // Also write a key-framer section with one object node per mesh (ids 0, 1, ...).
    bool keyframer = false;

    // The bytes lib3ds_file_save writes for this model; empty when it failed.
    std::string Bytes() const;

    // A unit square in the z = 0 plane from two faces, with texture coordinates.
    static Orv3dsTestMesh Quad(const std::string& name, const std::string& material);
    // A cube from -1 to 1: 8 shared vertices, 12 faces, all with this smoothing mask.
    static Orv3dsTestMesh Cube(const std::string& name, uint32_t smoothing);
    // A cone: apex (0, 0, 1) shared by every face, `segments` rim vertices on the unit
    // circle at z = 0, all faces with this smoothing mask.
    static Orv3dsTestMesh Cone(const std::string& name, int segments, uint32_t smoothing);
};

#endif
