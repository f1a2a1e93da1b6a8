// Feeds arbitrary bytes to the 3DS reader: the structure check, then (for what it accepts)
// lib3ds through the reader. Besides the sanitizers' findings, it stops on any broken promise
// of the reader: a file the check accepted that lib3ds then could not read whole, or data
// that breaks the guarantees of Orv3dsMeshData. Strictly: every position, texture coordinate
// and normal the meshes would upload must be a finite number and every normal a unit vector,
// and a model must keep within the budget of vertices and faces. Memory is bounded as
// OrvFuzzMemoryBound says.
//
// Seeds: models written by lib3ds, made by fuzz_3ds_seeds (fuzz/seeds/). For example:
//   build-fuzz/fuzz/fuzz_3ds_seeds corpus-3ds
//   build-fuzz/fuzz/fuzz_3ds_file -max_total_time=600 -dict=fuzz/3ds.dict corpus-3ds

#include "OrvFuzzMemoryBound.h"

#include "base/OrvException.h"
#include "scene/Orv3dsFileCheck.h"
#include "scene/Orv3dsFileReader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Broken(const char* what) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

void AllFinite(const std::vector<float>& values, const char* what) {
    for (float value : values)
        if (!std::isfinite(value))
            Broken(what);
}

void CheckContent(const Orv3dsFileContent& content) {
    const int materials = static_cast<int>(content.materials.size());
    long long vertexTotal = 0;
    long long faceTotal = 0;
    for (const Orv3dsMeshData& mesh : content.meshes) {
        vertexTotal += mesh.VertexCount();
        faceTotal += static_cast<long long>(mesh.faces.size());
        AllFinite(mesh.positions, "a position is not a finite number");
        AllFinite(mesh.texCoords, "a texture coordinate is not a finite number");
        AllFinite(mesh.normals, "a normal is not a finite number");
        for (std::size_t corner = 0; corner + 2 < mesh.normals.size(); corner += 3) {
            const float* n = &mesh.normals[corner];
            double squared = double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2];
            if (!(std::fabs(squared - 1.0) < 1e-3))
                Broken("a normal is not a unit vector");
        }
        const int vertices = mesh.VertexCount();
        if (mesh.positions.size() != static_cast<std::size_t>(vertices) * 3)
            Broken("positions are not three per vertex");
        if (!mesh.texCoords.empty() && mesh.texCoords.size() != mesh.positions.size() / 3 * 2)
            Broken("texture coordinates are not one pair per vertex");
        if (mesh.normals.size() != mesh.faces.size() * 9)
            Broken("normals are not three per face corner");
        for (const Orv3dsMeshData::Face& face : mesh.faces) {
            for (int corner = 0; corner < 3; ++corner)
                if (face.vertex[corner] < 0 || face.vertex[corner] >= vertices)
                    Broken("a face uses a vertex outside its mesh");
            if (face.material < -1 || face.material >= materials)
                Broken("a face names a material outside the list");
        }
    }
    if (vertexTotal > Orv3dsFileCheck::MaxModelVertices ||
        faceTotal > Orv3dsFileCheck::MaxModelFaces)
        Broken("a model past the budget of vertices and faces was loaded");
    for (const Orv3dsMaterialData& material : content.materials)
        if (material.textureFile.find_first_of("/\\") != std::string::npos ||
            material.textureFile == "." || material.textureFile == "..")
            Broken("a texture file name leaves the data folder");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    OrvFuzzMemoryBound::AddMemoryBound(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const bool accepted = Orv3dsFileCheck(bytes).Valid();
    try {
        Orv3dsFileContent content = Orv3dsFileReader::ReadBytes(bytes, "fuzz.3ds");
        if (!accepted)
            Broken("a file the check refused was loaded");
        CheckContent(content);
    } catch (const OrvException& error) {
        // After the check, lib3ds must read the whole copy. The refusals left: a mesh too slow
        // for its normals (it needs far more bytes than a fuzzer input has), and positions
        // that lib3ds's own mirroring through a mesh's matrix made infinite or NaN.
        const bool moved = error.Message().find("lies at a position that is not a finite "
                                                "number") != std::string::npos;
        if (accepted && !moved) {
            std::fprintf(stderr, "%s\n", error.what());
            Broken("a file the check accepted was not loaded");
        }
    }
    return 0;
}
