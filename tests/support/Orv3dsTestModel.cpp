#include "support/Orv3dsTestModel.h"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

void CopyName(char* field, std::size_t size, const std::string& name) {
    std::strncpy(field, name.c_str(), size - 1);
    field[size - 1] = '\0';
}

Lib3dsMaterial* MakeMaterial(const Orv3dsTestMaterial& source) {
    Lib3dsMaterial* material = lib3ds_material_new();
    CopyName(material->name, sizeof material->name, source.name);
    for (int i = 0; i < 3; ++i) {
        material->ambient[i] = source.ambient[i];
        material->diffuse[i] = source.diffuse[i];
        material->specular[i] = source.specular[i];
    }
    material->shininess = source.shininess;
    CopyName(material->texture1_map.name, sizeof material->texture1_map.name, source.texture);
    return material;
}

Lib3dsMesh* MakeMesh(const Orv3dsTestMesh& source) {
    Lib3dsMesh* mesh = lib3ds_mesh_new(source.name.c_str());
    const std::size_t vertices = source.positions.size() / 3;
    const std::size_t faces = source.corners.size() / 3;
    lib3ds_mesh_new_point_list(mesh, static_cast<Lib3dsDword>(vertices));
    for (std::size_t v = 0; v < vertices; ++v)
        for (int axis = 0; axis < 3; ++axis)
            mesh->pointL[v].pos[axis] = source.positions[v * 3 + axis];
    if (!source.texCoords.empty()) {
        lib3ds_mesh_new_texel_list(mesh, static_cast<Lib3dsDword>(source.texCoords.size() / 2));
        for (std::size_t t = 0; t < source.texCoords.size() / 2; ++t) {
            mesh->texelL[t][0] = source.texCoords[t * 2];
            mesh->texelL[t][1] = source.texCoords[t * 2 + 1];
        }
    }
    lib3ds_mesh_new_face_list(mesh, static_cast<Lib3dsDword>(faces));
    for (std::size_t f = 0; f < faces; ++f) {
        for (int corner = 0; corner < 3; ++corner)
            mesh->faceL[f].points[corner] = static_cast<Lib3dsWord>(source.corners[f * 3 + corner]);
        if (f < source.faceMaterials.size())
            CopyName(mesh->faceL[f].material, sizeof mesh->faceL[f].material,
                     source.faceMaterials[f]);
        mesh->faceL[f].smoothing = f < source.smoothing.size() ? source.smoothing[f] : 0;
    }
    return mesh;
}

// Appends to a lib3ds list without sorting it.
template <typename Record> void Append(Record*& head, Record*& tail, Record* record) {
    if (tail)
        tail->next = record;
    else
        head = record;
    tail = record;
}

} // namespace

std::string Orv3dsTestModel::Bytes() const {
    Lib3dsFile* file = lib3ds_file_new();
    Lib3dsMaterial* lastMaterial = nullptr;
    for (const Orv3dsTestMaterial& material : materials)
        Append(file->materials, lastMaterial, MakeMaterial(material));
    Lib3dsMesh* lastMesh = nullptr;
    for (const Orv3dsTestMesh& mesh : meshes)
        Append(file->meshes, lastMesh, MakeMesh(mesh));
    if (keyframer) {
        Lib3dsNode* lastNode = nullptr;
        for (std::size_t i = 0; i < meshes.size(); ++i) {
            Lib3dsNode* node = lib3ds_node_new_object();
            CopyName(node->name, sizeof node->name, meshes[i].name);
            node->node_id = static_cast<Lib3dsWord>(i);
            node->parent_id = LIB3DS_NO_PARENT;
            Append(file->nodes, lastNode, node);
        }
    }
    char path[] = "/tmp/orv-3ds-XXXXXX";
    int fd = mkstemp(path);
    std::string bytes;
    if (fd >= 0) {
        close(fd);
        if (lib3ds_file_save(file, path)) {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream content;
            content << in.rdbuf();
            bytes = content.str();
        }
        std::remove(path);
    }
    lib3ds_file_free(file);
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
