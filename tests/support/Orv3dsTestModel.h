#ifndef ORV_TESTS_SUPPORT_ORV3DSTESTMODEL_H
#define ORV_TESTS_SUPPORT_ORV3DSTESTMODEL_H

// Test models written by the project's 3DS writer (lib3ds's own, through Orv3dsModelWriter),
// so the tests read files that a real 3DS writer made, with meshes and materials in exactly
// the order given. Used by the tests, the 3DS benchmark and the fuzzer's seed maker; needs
// lib3ds and nothing of the engine.

#include "Orv3dsModelWriter.h"

#include <cstdint>
#include <string>

using Orv3dsTestMaterial = Orv3dsModelMaterial;
using Orv3dsTestMesh = Orv3dsModelMesh;

class Orv3dsTestModel : public Orv3dsModelWriter {
public:
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
