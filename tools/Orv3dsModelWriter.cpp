#include "Orv3dsModelWriter.h"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cstddef>
#include <cstring>

namespace {

void CopyName(char* field, std::size_t size, const std::string& name) {
    std::strncpy(field, name.c_str(), size - 1);
    field[size - 1] = '\0';
}

Lib3dsMaterial* MakeMaterial(const Orv3dsModelMaterial& source) {
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

Lib3dsMesh* MakeMesh(const Orv3dsModelMesh& source) {
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

bool Orv3dsModelWriter::Save(const std::string& path) const {
    Lib3dsFile* file = lib3ds_file_new();
    Lib3dsMaterial* lastMaterial = nullptr;
    for (const Orv3dsModelMaterial& material : materials)
        Append(file->materials, lastMaterial, MakeMaterial(material));
    Lib3dsMesh* lastMesh = nullptr;
    for (const Orv3dsModelMesh& mesh : meshes)
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
    bool saved = lib3ds_file_save(file, path.c_str()) != 0;
    lib3ds_file_free(file);
    return saved;
}
