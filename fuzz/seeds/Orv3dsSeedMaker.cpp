// Writes the seed corpus of fuzz_3ds_file: a few models written by lib3ds itself, between
// them using every chunk the reader passes on to lib3ds. Usage: fuzz_3ds_seeds <folder>

#include "support/Orv3dsTestModel.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

bool Write(const std::string& folder, const std::string& name, const Orv3dsTestModel& model) {
    std::string bytes = model.Bytes();
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !bytes.empty() && out.good();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    mkdir(folder.c_str(), 0755);

    Orv3dsTestModel quads;
    quads.materials.resize(2);
    quads.materials[0].name = "Skin";
    quads.materials[0].texture = "skin.png";
    quads.materials[0].shininess = 0.5f;
    quads.materials[1].name = "Bone";
    quads.meshes = {Orv3dsTestModel::Quad("Body", "Skin"), Orv3dsTestModel::Quad("Arm", "Bone")};

    Orv3dsTestModel shapes = quads;
    shapes.meshes = {Orv3dsTestModel::Cube("Box", 1), Orv3dsTestModel::Cone("Cone", 12, 3),
                     Orv3dsTestModel::Quad("Lid", "Nothing")};
    shapes.meshes[0].faceMaterials.assign(12, "Bone");
    shapes.keyframer = true;

    Orv3dsTestModel fan;
    fan.meshes = {Orv3dsTestModel::Cone("Fan", 140, 1)}; // past lib3ds's 128 corners

    Orv3dsTestModel bare;
    bare.materials.resize(1);
    bare.materials[0].name = "Only";

    // Coordinates where lib3ds's float normals overflow, and a texture name with a path.
    Orv3dsTestModel far = quads;
    far.materials[0].texture = "C:\\MAPS\\SKIN.PNG";
    for (Orv3dsTestMesh& mesh : far.meshes)
        for (float& value : mesh.positions)
            value *= 1e20f;

    bool ok = Write(folder, "quads.3ds", quads) && Write(folder, "shapes.3ds", shapes) &&
              Write(folder, "fan.3ds", fan) && Write(folder, "material.3ds", bare) &&
              Write(folder, "far.3ds", far);
    return ok ? 0 : 1;
}
