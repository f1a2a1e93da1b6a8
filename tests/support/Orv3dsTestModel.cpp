#include "support/Orv3dsTestModel.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

std::string Orv3dsTestModel::Bytes() const {
    char path[] = "/tmp/orv-3ds-XXXXXX";
    int fd = mkstemp(path);
    std::string bytes;
    if (fd >= 0) {
        close(fd);
        if (Save(path)) {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            bytes = content.str();
        }
        std::remove(path);
    }
    return bytes;
}

Orv3dsTestMesh Orv3dsTestModel::Quad(const std::string& name, const std::string& material) {
    Orv3dsTestMesh mesh;
    mesh.name = name;
    mesh.positions = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    mesh.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
    mesh.corners = {0, 1, 2, 0, 2, 3};
    mesh.faceMaterials = {material, material};
    return mesh;
}

Orv3dsTestMesh Orv3dsTestModel::Cube(const std::string& name, uint32_t smoothing) {
    Orv3dsTestMesh mesh;
    mesh.name = name;
    for (int v = 0; v < 8; ++v) {
        mesh.positions.push_back(v & 1 ? 1.0f : -1.0f);
        mesh.positions.push_back(v & 2 ? 1.0f : -1.0f);
        mesh.positions.push_back(v & 4 ? 1.0f : -1.0f);
    }
    // Two counter-clockwise triangles (seen from outside) per side.
    mesh.corners = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 1, 5, 0, 5, 4,
                    2, 6, 7, 2, 7, 3, 0, 4, 6, 0, 6, 2, 1, 3, 7, 1, 7, 5};
    mesh.faceMaterials.assign(12, "");
    mesh.smoothing.assign(12, smoothing);
    return mesh;
}

Orv3dsTestMesh Orv3dsTestModel::Cone(const std::string& name, int segments, uint32_t smoothing) {
    Orv3dsTestMesh mesh;
    mesh.name = name;
    mesh.positions = {0.0f, 0.0f, 1.0f};
    const double pi = std::acos(-1.0);
    for (int i = 0; i < segments; ++i) {
        mesh.positions.push_back(static_cast<float>(std::cos(2 * pi * i / segments)));
        mesh.positions.push_back(static_cast<float>(std::sin(2 * pi * i / segments)));
        mesh.positions.push_back(0.0f);
    }
    for (int i = 0; i < segments; ++i) {
        mesh.corners.push_back(0);
        mesh.corners.push_back(1 + i);
        mesh.corners.push_back(1 + (i + 1) % segments);
    }
    mesh.faceMaterials.assign(segments, "");
    mesh.smoothing.assign(segments, smoothing);
    return mesh;
}
