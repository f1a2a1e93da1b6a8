#include "scene/Orv3dsFileReader.h"

#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "base/OrvWholeFile.h"
#include "scene/Orv3dsCornerNormals.h"
#include "scene/Orv3dsFaceNormal.h"
#include "scene/Orv3dsFileCheck.h"

#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>

const char* const Orv3dsFileReader::ErrorPrefix = "Unable to load .3ds file: ";

namespace {

OrvException Damaged(const std::string& path, const std::string& what) {
    return OrvException(Orv3dsFileReader::ErrorPrefix + path + ": " + what);
}

// The checked copy, read by lib3ds through its io callbacks. A read or seek outside the copy
// cannot happen after the check; if it did, the missing bytes read as zeros (lib3ds would
// otherwise use whatever its buffer held) and the read counts as failed.
class MemoryStream {
public:
    explicit MemoryStream(const std::string& bytes) : bytes(bytes) {}

    bool Overrun() const { return overrun; }

    static Lib3dsBool Error(void* self) { return static_cast<MemoryStream*>(self)->overrun; }

    static long Seek(void* self, long offset, Lib3dsIoSeek origin) {
        MemoryStream& stream = *static_cast<MemoryStream*>(self);
        long long base = origin == LIB3DS_SEEK_SET   ? 0
                         : origin == LIB3DS_SEEK_CUR ? stream.pos
                                                     : static_cast<long long>(stream.bytes.size());
        long long target = base + offset;
        if (target < 0 || target > static_cast<long long>(stream.bytes.size())) {
            stream.overrun = true;
            return -1;
        }
        stream.pos = target;
        return 0;
    }

    static long Tell(void* self) {
        return static_cast<long>(static_cast<MemoryStream*>(self)->pos);
    }

    static size_t Read(void* self, void* buffer, size_t size) {
        MemoryStream& stream = *static_cast<MemoryStream*>(self);
        std::size_t left = stream.bytes.size() - static_cast<std::size_t>(stream.pos);
        std::size_t count = size < left ? size : left;
        std::memcpy(buffer, stream.bytes.data() + stream.pos, count);
        if (count < size) {
            std::memset(static_cast<char*>(buffer) + count, 0, size - count);
            stream.overrun = true;
        }
        stream.pos += static_cast<long long>(count);
        return count;
    }

    static size_t Write(void*, const void*, size_t) { return 0; }

private:
    const std::string& bytes;
    long long pos = 0;
    bool overrun = false;
};

struct FileDeleter {
    void operator()(Lib3dsFile* file) const { lib3ds_file_free(file); }
};
struct IoDeleter {
    void operator()(Lib3dsIo* io) const { lib3ds_io_free(io); }
};

// lib3ds's fixed-size name fields, as strings, whatever they hold.
std::string NameField(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

// lib3ds sorts its lists by name and keeps the file order among equal names, so the k-th
// record of a name in its list is the k-th of that name in the file.
template <typename Record>
std::vector<Record*> InFileOrder(Record* list, const std::vector<std::string>& fileNames,
                                 const std::string& path, const char* what) {
    std::map<std::string, std::deque<Record*>> byName;
    std::size_t count = 0;
    for (Record* record = list; record; record = record->next) {
        byName[NameField(record->name, sizeof record->name)].push_back(record);
        ++count;
    }
    if (count != fileNames.size())
        throw Damaged(path, "lib3ds read " + std::to_string(count) + " " + what +
                                " where the file has " + std::to_string(fileNames.size()));
    std::vector<Record*> ordered;
    for (const std::string& name : fileNames) {
        std::deque<Record*>& records = byName[name];
        if (records.empty())
            throw Damaged(path,
                          std::string("lib3ds did not read the ") + what + " named '" + name + "'");
        ordered.push_back(records.front());
        records.pop_front();
    }
    return ordered;
}

// The texture's file in the data folder: what follows the last separator of either system.
std::string TextureFile(const Orv3dsMaterialData& material, const std::string& path) {
    const std::string& stored = material.textureName;
    if (!Orv3dsFileCheck::NamesDataFile(stored)) // never after the check
        throw Damaged(path, "material '" + material.name + "' names no texture file");
    std::size_t separator = stored.find_last_of("/\\");
    return separator == std::string::npos ? stored : stored.substr(separator + 1);
}

Orv3dsMaterialData CopyMaterial(const Lib3dsMaterial& material, const std::string& path) {
    Orv3dsMaterialData data;
    data.name = NameField(material.name, sizeof material.name);
    for (int i = 0; i < 3; ++i) {
        data.ambient[i] = material.ambient[i];
        data.diffuse[i] = material.diffuse[i];
        data.specular[i] = material.specular[i];
    }
    data.shininess = material.shininess;
    data.textureName = NameField(material.texture1_map.name, sizeof material.texture1_map.name);
    data.textureFile = TextureFile(data, path);
    return data;
}

// lib3ds's face normals where they are unit vectors (so a model reads exactly as lib3ds reads
// it); worked out again in double where lib3ds's float arithmetic overflowed.
void RepairFaceNormals(Lib3dsMesh& mesh) {
    for (std::size_t face = 0; face < mesh.faces; ++face) {
        Lib3dsFace& f = mesh.faceL[face];
        if (!Orv3dsFaceNormal::IsUnit(f.normal))
            Orv3dsFaceNormal::Compute(mesh.pointL[f.points[0]].pos, mesh.pointL[f.points[1]].pos,
                                      mesh.pointL[f.points[2]].pos, f.normal);
    }
}

void ComputeNormals(Lib3dsMesh& mesh, Orv3dsMeshData& data, const std::string& path) {
    const std::size_t faces = mesh.faces;
    data.normals.assign(faces * 9, 0.0f);
    if (faces == 0)
        return;
    RepairFaceNormals(mesh);
    std::vector<int> corners(faces * 3);
    for (std::size_t face = 0; face < faces; ++face)
        for (int corner = 0; corner < 3; ++corner)
            corners[face * 3 + corner] = mesh.faceL[face].points[corner];
    const int vertexCount = static_cast<int>(mesh.points);
    if (Orv3dsCornerNormals::LibraryCanCompute(vertexCount, corners)) {
        std::vector<Lib3dsVector> normals(faces * 3);
        lib3ds_mesh_calculate_normals(&mesh, normals.data());
        for (std::size_t corner = 0; corner < faces * 3; ++corner)
            for (int axis = 0; axis < 3; ++axis)
                data.normals[corner * 3 + axis] = normals[corner][axis];
        return;
    }
    std::vector<uint32_t> smoothing(faces);
    std::vector<float> faceNormals(faces * 3);
    for (std::size_t face = 0; face < faces; ++face) {
        smoothing[face] = mesh.faceL[face].smoothing;
        for (int axis = 0; axis < 3; ++axis)
            faceNormals[face * 3 + axis] = mesh.faceL[face].normal[axis];
    }
    if (!Orv3dsCornerNormals::Compute(vertexCount, corners, smoothing, faceNormals, data.normals))
        throw Damaged(path, "mesh '" + data.name +
                                "' has too many faces of different directions and smoothing "
                                "groups around one vertex to compute its normals");
}

Orv3dsMeshData CopyMesh(Lib3dsMesh& mesh, const std::map<std::string, int>& materialIndex,
                        const std::string& path) {
    Orv3dsMeshData data;
    data.name = NameField(mesh.name, sizeof mesh.name);
    // The check made sure every position in the file is a finite number, but lib3ds moves
    // the vertices of a mesh whose matrix mirrors (negative determinant) through that matrix
    // and its inverse, which a hostile matrix can overflow: they are checked again here.
    data.positions.resize(static_cast<std::size_t>(mesh.points) * 3);
    for (std::size_t v = 0; v < mesh.points; ++v) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = mesh.pointL[v].pos[axis];
            if (!std::isfinite(value))
                throw Damaged(path, "vertex " + std::to_string(v) + " of mesh '" + data.name +
                                        "' lies at a position that is not a finite number");
            data.positions[v * 3 + axis] = value;
        }
    }
    // The check made sure a mesh with texture coordinates has one per vertex at least.
    if (mesh.texels > 0 && mesh.texels >= mesh.points) {
        data.texCoords.resize(static_cast<std::size_t>(mesh.points) * 2);
        for (std::size_t v = 0; v < mesh.points; ++v) {
            data.texCoords[v * 2] = mesh.texelL[v][0];
            data.texCoords[v * 2 + 1] = mesh.texelL[v][1];
        }
    }
    data.faces.resize(mesh.faces);
    for (std::size_t face = 0; face < mesh.faces; ++face) {
        const Lib3dsFace& source = mesh.faceL[face];
        Orv3dsMeshData::Face& target = data.faces[face];
        for (int corner = 0; corner < 3; ++corner) {
            target.vertex[corner] = source.points[corner];
            if (source.points[corner] >= mesh.points) // never after the check
                throw Damaged(path, "a face of mesh '" + data.name + "' uses a missing vertex");
        }
        auto found = materialIndex.find(NameField(source.material, sizeof source.material));
        target.material = found == materialIndex.end() ? -1 : found->second;
    }
    ComputeNormals(mesh, data, path);
    return data;
}

Orv3dsFileContent ReadChecked(const Orv3dsFileCheck& check, const std::string& path);

} // namespace

Orv3dsFileContent Orv3dsFileReader::ReadDataFile(const OrvDataFolder& files,
                                                 const std::string& name) {
    return ReadFile(files.Path(name), OrvDataFolder::Shown(name));
}

Orv3dsFileContent Orv3dsFileReader::ReadFile(const std::string& path) {
    return ReadFile(path, path);
}

Orv3dsFileContent Orv3dsFileReader::ReadFile(const std::string& path, const std::string& shown) {
    std::string bytes;
    std::uint64_t size;
    switch (OrvWholeFile::Load(path, Orv3dsFileCheck::MaxFileBytes, bytes, size)) {
    case OrvWholeFile::Read: {
        Orv3dsFileCheck check(bytes);
        // lib3ds reads the checked copy: the file's own bytes can go before it allocates.
        std::string().swap(bytes);
        return ReadChecked(check, shown);
    }
    case OrvWholeFile::TooLarge:
        throw Damaged(shown, "the file is " + std::to_string(size) + " bytes long, more than the " +
                                 std::to_string(Orv3dsFileCheck::MaxFileBytes) +
                                 " bytes a model may have");
    case OrvWholeFile::Unreadable:
        break;
    }
    throw OrvException(ErrorPrefix + shown);
}

Orv3dsFileContent Orv3dsFileReader::ReadBytes(const std::string& bytes, const std::string& path) {
    return ReadChecked(Orv3dsFileCheck(bytes), path);
}

namespace {

Orv3dsFileContent ReadChecked(const Orv3dsFileCheck& check, const std::string& path) {
    if (!check.Valid())
        throw Damaged(path, check.Problem());

    MemoryStream stream(check.ReducedFile());
    std::unique_ptr<Lib3dsIo, IoDeleter> io(lib3ds_io_new(&stream, MemoryStream::Error,
                                                          MemoryStream::Seek, MemoryStream::Tell,
                                                          MemoryStream::Read, MemoryStream::Write));
    std::unique_ptr<Lib3dsFile, FileDeleter> file(lib3ds_file_new());
    if (!io || !file)
        throw Damaged(path, "lib3ds could not start reading");
    if (!lib3ds_file_read(file.get(), io.get()))
        throw Damaged(path, "lib3ds could not read it");
    if (stream.Overrun())
        throw Damaged(path, "lib3ds read past the end of the checked data");

    Orv3dsFileContent content;
    std::map<std::string, int> materialIndex;
    for (Lib3dsMaterial* material :
         InFileOrder(file->materials, check.MaterialNames(), path, "materials")) {
        content.materials.push_back(CopyMaterial(*material, path));
        const std::string& name = content.materials.back().name;
        // The first material of a name is the one faces mean; an empty name means none.
        if (!name.empty() && materialIndex.find(name) == materialIndex.end())
            materialIndex[name] = static_cast<int>(content.materials.size()) - 1;
    }
    for (Lib3dsMesh* mesh : InFileOrder(file->meshes, check.MeshNames(), path, "meshes")) {
        content.meshes.push_back(CopyMesh(*mesh, materialIndex, path));
        // Copied: lib3ds's records of a large model (about 100 bytes a face) need not wait
        // for the others to be copied too.
        lib3ds_mesh_free_face_list(mesh);
        lib3ds_mesh_free_point_list(mesh);
        lib3ds_mesh_free_texel_list(mesh);
        lib3ds_mesh_free_flag_list(mesh);
    }
    return content;
}

} // namespace
