#ifndef ORV_SCENE_ORV3DSCORNERNORMALS_H
#define ORV_SCENE_ORV3DSCORNERNORMALS_H

// Normals for every face corner of a triangle mesh, by the rule of lib3ds's
// lib3ds_mesh_calculate_normals, for the meshes that function must not be given.
//
// The rule: a corner of a face without smoothing groups (mask 0) takes the face's normal.
// Any other corner takes the sum of the normals of the faces around its vertex that share
// at least one smoothing group with its face, each direction counted once (normals whose dot
// product is within 1e-5 of 1 count as one), normalised; a sum too short to normalise
// becomes the unit axis of its largest component, as lib3ds does.
//
// Why not always lib3ds: lib3ds 1.3 collects those directions in a stack array of 128, with
// no bound check, so a smooth vertex shared by more than 128 faces (the pole of a finely
// divided sphere or cone) overwrites its stack and aborts the process; and its time grows
// with the cube of the faces around a vertex. LibraryCanCompute tells the reader when lib3ds
// is safe and quick; otherwise Compute gives the same normals (to float rounding) with the
// directions around each vertex grouped once and the sums kept per smoothing mask.
//
// Input is plain data: three vertex indices per face (each below the vertex count - the
// caller has checked them), one smoothing mask per face and the face normals as lib3ds
// computed them (three floats per face). Nothing is kept between calls.

#include <cstdint>
#include <vector>

class Orv3dsCornerNormals {
public:
    // The size of lib3ds's array: more face corners at one vertex overflow it.
    static const int LibraryCornerLimit = 128;
    // lib3ds's time: about the sum, over the vertices, of the cube of their face corners.
    static const long long LibraryWorkLimit = 100000000;
    // Compute's own budget of steps (about half a second): it groups the directions around
    // a vertex one by one, so a smooth vertex shared by more than about 28000 faces of
    // different directions, or a vertex whose faces have thousands of different smoothing
    // masks and directions (a file built to be slow), needs more.
    static const long long WorkLimit = 400000000;

    // True when lib3ds_mesh_calculate_normals can be given this mesh.
    static bool LibraryCanCompute(int vertexCount, const std::vector<int>& corners);

    // Writes nine floats per face (three per corner, in face order) into `normals`. False,
    // with `normals` unspecified, when the mesh needs more than WorkLimit steps.
    static bool Compute(int vertexCount, const std::vector<int>& corners,
                        const std::vector<uint32_t>& smoothing,
                        const std::vector<float>& faceNormals, std::vector<float>& normals);
};

#endif
