// The engine's own corner normals against lib3ds's, on meshes lib3ds can still handle, and
// the limits that decide between them.

#include "scene/Orv3dsCornerNormals.h"

#include "support/Orv3dsTestModel.h"
#include "support/OrvTestFolder.h"

#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>

namespace {

// A sphere of `rings` bands and `segments` sides with poles, smoothing masks from a mix of
// none, shared and separate groups, plus two degenerate faces.
Orv3dsTestMesh Sphere(int rings, int segments) {
    Orv3dsTestMesh mesh;
    mesh.name = "Sphere";
    const double pi = std::acos(-1.0);
    mesh.positions = {0, 0, 1, 0, 0, -1};
    for (int ring = 1; ring < rings; ++ring) {
        for (int side = 0; side < segments; ++side) {
            double polar = pi * ring / rings, around = 2 * pi * side / segments;
            mesh.positions.push_back(float(std::sin(polar) * std::cos(around)));
            mesh.positions.push_back(float(std::sin(polar) * std::sin(around)));
            mesh.positions.push_back(float(std::cos(polar)));
        }
    }
    auto at = [&](int ring, int side) {
        if (ring == 0)
            return 0;
        if (ring == rings)
            return 1;
        return 2 + (ring - 1) * segments + side % segments;
    };
    for (int ring = 0; ring < rings; ++ring) {
        for (int side = 0; side < segments; ++side) {
            int a = at(ring, side), b = at(ring + 1, side), c = at(ring + 1, side + 1),
                d = at(ring, side + 1);
            if (ring > 0)
                mesh.corners.insert(mesh.corners.end(), {a, b, d});
            if (ring < rings - 1)
                mesh.corners.insert(mesh.corners.end(), {d, b, c});
        }
    }
    mesh.corners.insert(mesh.corners.end(), {2, 2, 3, 4, 4, 4});
    const uint32_t masks[] = {1, 1, 0, 2, 3, 1 | 4, 8, 1};
    for (std::size_t face = 0; face < mesh.corners.size() / 3; ++face)
        mesh.smoothing.push_back(masks[(face * 7 / 5) % 8]);
    return mesh;
}

} // namespace

TEST(Orv3dsCornerNormals, MatchLib3dsWhereLib3dsCanCompute) {
    OrvTestFolder folder;
    Orv3dsTestModel model;
    model.meshes = {Orv3dsTestModel::Cube("Cube", 1), Sphere(9, 40)};
    const std::string path = folder.WriteData("sphere.3ds", model.Bytes());
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    ASSERT_NE(nullptr, file);
    int meshes = 0;
    for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next, ++meshes) {
        SCOPED_TRACE(mesh->name);
        std::vector<int> corners;
        std::vector<uint32_t> smoothing;
        std::vector<float> faceNormals;
        for (unsigned face = 0; face < mesh->faces; ++face) {
            for (int corner = 0; corner < 3; ++corner) {
                corners.push_back(mesh->faceL[face].points[corner]);
                faceNormals.push_back(mesh->faceL[face].normal[corner]);
            }
            smoothing.push_back(mesh->faceL[face].smoothing);
        }
        ASSERT_TRUE(Orv3dsCornerNormals::LibraryCanCompute(int(mesh->points), corners));
        std::vector<Lib3dsVector> expected(mesh->faces * 3);
        lib3ds_mesh_calculate_normals(mesh, expected.data());
        std::vector<float> normals;
        ASSERT_TRUE(Orv3dsCornerNormals::Compute(int(mesh->points), corners, smoothing, faceNormals,
                                                 normals));
        ASSERT_EQ(expected.size() * 3, normals.size());
        for (std::size_t corner = 0; corner < expected.size(); ++corner)
            for (int axis = 0; axis < 3; ++axis)
                ASSERT_NEAR(expected[corner][axis], normals[corner * 3 + axis], 1e-5)
                    << "corner " << corner << " axis " << axis;
    }
    lib3ds_file_free(file);
    EXPECT_EQ(2, meshes);
}

TEST(Orv3dsCornerNormals, LimitsSendLargeFansToTheEngineAndBoundItsWork) {
    auto fan = [](int faces) {
        std::vector<int> corners;
        for (int face = 0; face < faces; ++face)
            corners.insert(corners.end(), {0, 1 + face, 2 + face});
        return corners;
    };
    EXPECT_TRUE(Orv3dsCornerNormals::LibraryCanCompute(130, fan(128)));
    EXPECT_FALSE(Orv3dsCornerNormals::LibraryCanCompute(131, fan(129)));

    // 40000 faces around one vertex, each with its own direction and smoothing mask: the
    // work is refused in bounded time instead of taking minutes.
    const int faces = 40000;
    std::vector<uint32_t> smoothing;
    std::vector<float> faceNormals;
    for (int face = 0; face < faces; ++face) {
        smoothing.push_back(uint32_t(face) * 2654435761u | 1u);
        // Spread evenly over the sphere, far enough apart not to count as one direction.
        double z = 1.0 - 2.0 * (face + 0.5) / faces, around = face * 2.399963;
        double r = std::sqrt(1.0 - z * z);
        faceNormals.insert(faceNormals.end(),
                           {float(r * std::cos(around)), float(r * std::sin(around)), float(z)});
    }
    std::vector<float> normals;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        Orv3dsCornerNormals::Compute(faces + 2, fan(faces), smoothing, faceNormals, normals));
    std::cout << "refused after "
              << std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - start)
                     .count()
              << " ms\n";
}
