#ifndef ORV_SCENE_ORV3DSMESHDATA_H
#define ORV_SCENE_ORV3DSMESHDATA_H

// One triangle mesh of a 3DS file as the engine uses it, copied out of lib3ds by
// Orv3dsFileReader: a plain value that owns its arrays and depends on no library.
//
// Guarantees the reader gives: every face's vertex indices are below VertexCount(); every
// material index is -1 or a valid index into the file's material list; texCoords is empty
// or holds exactly one pair per vertex; normals holds exactly three per face corner; every
// position, texture coordinate and normal is a finite number, and every normal a unit vector.

#include <string>
#include <vector>

struct Orv3dsMeshData {
    struct Face {
        int vertex[3];
        // Index into the file's material list in file order; -1 when the face names no
        // material, an empty name, or a name no material of the file has.
        int material;
    };

    // The name of the file's object that holds the mesh; may be empty.
    std::string name;
    // x, y, z per vertex.
    std::vector<float> positions;
    // u, v per vertex; empty when the file gives the mesh no texture coordinates.
    std::vector<float> texCoords;
    std::vector<Face> faces;
    // x, y, z per face corner, in face order (nine floats per face), unit length: the
    // smoothed normals lib3ds's normal calculation gives (Orv3dsCornerNormals).
    std::vector<float> normals;

    int VertexCount() const { return static_cast<int>(positions.size() / 3); }
    bool HasTexCoords() const { return !texCoords.empty(); }
};

#endif
