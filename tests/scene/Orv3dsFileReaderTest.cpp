// Reading 3DS files into plain data: file order, material indices, copied fields, normals,
// the messages, and the real-world models of the shared test data compared with what lib3ds
// reads from the whole file by itself.

#include "scene/Orv3dsFileReader.h"

#include "base/OrvDataFolder.h"
#include "base/OrvException.h"
#include "scene/Orv3dsCornerNormals.h"
#include "support/Orv3dsTestChunks.h"
#include "support/Orv3dsTestModel.h"
#include "support/OrvChildProcess.h"
#include "support/OrvTestFolder.h"

#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string Raised(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const OrvException& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

Orv3dsFileContent Read(const Orv3dsTestModel& model) {
    return Orv3dsFileReader::ReadBytes(model.Bytes(), "model.3ds");
}

std::vector<int> FaceMaterials(const Orv3dsMeshData& mesh) {
    std::vector<int> materials;
    for (const Orv3dsMeshData::Face& face : mesh.faces)
        materials.push_back(face.material);
    return materials;
}

// The normal of one face corner.
std::vector<float> Normal(const Orv3dsMeshData& mesh, int face, int corner) {
    const float* n = &mesh.normals[(face * 3 + corner) * 3];
    return {n[0], n[1], n[2]};
}

void ExpectNear(const std::vector<float>& expected, const std::vector<float>& actual,
                float tolerance, const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(expected[i], actual[i], tolerance) << what << " [" << i << "]";
}

std::string SharedFolder() {
    return std::string(ORV_TESTDATA_DIR) + "/3ds";
}

std::vector<std::string> SharedModels() {
    std::vector<std::string> names;
    if (DIR* dir = opendir(SharedFolder().c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            std::string lower = name;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".3ds") == 0)
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(Orv3dsFileReader, RestoresTheFileOrderAndResolvesFaceMaterials) {
    Orv3dsTestModel model;
    model.materials.resize(4);
    model.materials[0].name = "Red";
    model.materials[0].diffuse[0] = 1.0f;
    model.materials[0].diffuse[1] = 0.0f;
    model.materials[0].diffuse[2] = 0.2f;
    model.materials[0].specular[2] = 0.6f;
    model.materials[0].shininess = 0.25f;
    model.materials[0].texture = "red.png";
    model.materials[1].name = "Blue";
    model.materials[2].name = "Green";
    model.materials[3].name = "Red"; // a second material of that name: faces mean the first
    model.meshes = {Orv3dsTestModel::Quad("Zeta", "Blue"), Orv3dsTestModel::Quad("Alpha", "Red"),
                    Orv3dsTestModel::Cube("Mid", 0), Orv3dsTestModel::Quad("Alpha", "Green")};
    model.meshes[2].faceMaterials[1] = "Green";
    model.meshes[2].faceMaterials[2] = "Nowhere";
    model.meshes[3].positions[0] = 7.0f; // tells the two meshes named Alpha apart

    Orv3dsFileContent content = Read(model);
    ASSERT_EQ(4u, content.materials.size());
    std::vector<std::string> materialNames, meshNames;
    for (const Orv3dsMaterialData& material : content.materials)
        materialNames.push_back(material.name);
    for (const Orv3dsMeshData& mesh : content.meshes)
        meshNames.push_back(mesh.name);
    EXPECT_EQ((std::vector<std::string>{"Red", "Blue", "Green", "Red"}), materialNames);
    EXPECT_EQ((std::vector<std::string>{"Zeta", "Alpha", "Mid", "Alpha"}), meshNames);
    ASSERT_EQ(4u, content.meshes.size());
    EXPECT_EQ(0.0f, content.meshes[1].positions[0]);
    EXPECT_EQ(7.0f, content.meshes[3].positions[0]);

    EXPECT_EQ((std::vector<int>{1, 1}), FaceMaterials(content.meshes[0]));
    EXPECT_EQ((std::vector<int>{0, 0}), FaceMaterials(content.meshes[1]));
    std::vector<int> mid(12, -1); // no name, or a name no material has
    mid[1] = 2;
    EXPECT_EQ(mid, FaceMaterials(content.meshes[2]));

    const Orv3dsMaterialData& red = content.materials[0];
    ExpectNear({1.0f, 0.0f, 0.2f}, {red.diffuse[0], red.diffuse[1], red.diffuse[2]}, 1.0f / 255,
               "diffuse");
    ExpectNear({0.0f, 0.0f, 0.6f}, {red.specular[0], red.specular[1], red.specular[2]}, 1.0f / 255,
               "specular");
    ExpectNear({0.2f, 0.2f, 0.2f}, {red.ambient[0], red.ambient[1], red.ambient[2]}, 1.0f / 255,
               "ambient");
    EXPECT_FLOAT_EQ(0.25f, red.shininess);
    EXPECT_EQ("red.png", red.textureName);
    EXPECT_EQ("", content.materials[1].textureName);

    const Orv3dsMeshData& quad = content.meshes[0];
    EXPECT_EQ(4, quad.VertexCount());
    EXPECT_EQ((std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), quad.positions);
    EXPECT_EQ((std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}), quad.texCoords);
    ASSERT_EQ(2u, quad.faces.size());
    EXPECT_EQ((std::vector<int>{0, 2, 3}),
              (std::vector<int>{quad.faces[1].vertex[0], quad.faces[1].vertex[1],
                                quad.faces[1].vertex[2]}));
    EXPECT_FALSE(content.meshes[2].HasTexCoords());
}

TEST(Orv3dsFileReader, NormalsFollowTheSmoothingGroups) {
    Orv3dsTestModel model;
    model.meshes = {Orv3dsTestModel::Cube("Smooth", 1), Orv3dsTestModel::Cube("Flat", 0),
                    Orv3dsTestModel::Cube("Sides", 0)};
    // One smoothing group per axis: no two sides of "Sides" share one.
    for (int face = 0; face < 12; ++face)
        model.meshes[2].smoothing[face] = 1u << (face / 4);
    Orv3dsFileContent content = Read(model);
    ASSERT_EQ(3u, content.meshes.size());
    for (const Orv3dsMeshData& mesh : content.meshes)
        ASSERT_EQ(12u * 9, mesh.normals.size());

    const float third = 1.0f / std::sqrt(3.0f);
    const Orv3dsMeshData& smooth = content.meshes[0];
    for (int face = 0; face < 12; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            const float* p = &smooth.positions[smooth.faces[face].vertex[corner] * 3];
            // Three sides meet at every corner of a cube, each counted once.
            ExpectNear({p[0] * third, p[1] * third, p[2] * third}, Normal(smooth, face, corner),
                       1e-5f, "smooth face " + std::to_string(face));
        }
    }
    for (int m = 1; m < 3; ++m) {
        const Orv3dsMeshData& mesh = content.meshes[m];
        for (int face = 0; face < 12; ++face) {
            // Every corner of a side takes the side's direction: the axis all its corners
            // agree on.
            std::vector<float> side(3, 0.0f);
            for (int axis = 0; axis < 3; ++axis) {
                float first = mesh.positions[mesh.faces[face].vertex[0] * 3 + axis];
                bool same = true;
                for (int corner = 1; corner < 3; ++corner)
                    same =
                        same && mesh.positions[mesh.faces[face].vertex[corner] * 3 + axis] == first;
                if (same)
                    side[axis] = first;
            }
            for (int corner = 0; corner < 3; ++corner)
                ExpectNear(side, Normal(mesh, face, corner), 1e-5f,
                           mesh.name + " face " + std::to_string(face));
        }
    }
}

TEST(Orv3dsFileReader, FinelyDividedConesGetNormalsWithoutLib3dsOverflowing) {
    // lib3ds 1.3 aborts on a smooth vertex shared by more than 128 faces, so the reading runs
    // in a child that prints the normals it got.
    OrvChildProcess child([] {
        for (int segments : {128, 129, 300, 5000}) {
            Orv3dsTestModel model;
            model.meshes = {Orv3dsTestModel::Cone("Cone", segments, 1)};
            Orv3dsFileContent content = Read(model);
            const Orv3dsMeshData& cone = content.meshes.at(0);
            // Apex of face 0, then the rim vertex shared by faces 0 and 1.
            const float* apex = &cone.normals[0];
            const float* rim = &cone.normals[(0 * 3 + 2) * 3];
            std::printf("%d %.5f %.5f %.5f %.5f %.5f %.5f\n", segments, apex[0], apex[1], apex[2],
                        rim[0], rim[1], rim[2]);
        }
        return 0;
    });
    ASSERT_TRUE(child.Wait(60000));
    ASSERT_TRUE(child.Exited()) << child.Errors();
    ASSERT_EQ(0, child.ExitCode()) << child.Errors();
    const double pi = std::acos(-1.0);
    std::istringstream lines(child.Output());
    int seen = 0;
    int segments;
    float a[3], r[3];
    while (lines >> segments >> a[0] >> a[1] >> a[2] >> r[0] >> r[1] >> r[2]) {
        ++seen;
        // The apex sums every side, which cancel out sideways. (With 5000 sides, neighbours
        // are within lib3ds's tolerance of one direction and count as one, so a little less.)
        ExpectNear({0, 0, 1}, {a[0], a[1], a[2]}, 2e-3f, "apex, " + std::to_string(segments));
        // A rim vertex sums the two sides beside it: (cos, sin, 1) / sqrt(2) at its angle.
        double angle = 2 * pi / segments;
        ExpectNear({float(std::cos(angle) / std::sqrt(2.0)),
                    float(std::sin(angle) / std::sqrt(2.0)), float(1 / std::sqrt(2.0))},
                   {r[0], r[1], r[2]}, 2e-3f, "rim, " + std::to_string(segments));
    }
    EXPECT_EQ(4, seen) << child.Output();
}

TEST(Orv3dsFileReader, MissingAndDamagedFilesRaiseTheLoadMessage) {
    OrvTestFolder folder;
    // The message names the path the reader tried: the data folder's, followed by the name.
    const OrvDataFolder files(folder.DataPath(""));
    EXPECT_EQ("Unable to load .3ds file: ../data/nothing.3ds",
              Raised([&] { Orv3dsFileReader::ReadDataFile(files, "nothing.3ds"); }));
    EXPECT_EQ("Unable to load .3ds file: ../data/",
              Raised([&] { Orv3dsFileReader::ReadDataFile(files, ""); }));
    folder.WriteData("empty.3ds", "");
    EXPECT_EQ(std::string("Unable to load .3ds file: ../data/empty.3ds") + ": the file is empty",
              Raised([&] { Orv3dsFileReader::ReadDataFile(files, "empty.3ds"); }));

    Orv3dsTestModel model;
    model.meshes = {Orv3dsTestModel::Quad("Q", "")};
    folder.WriteData("quad.3ds", model.Bytes());
    Orv3dsFileContent content = Orv3dsFileReader::ReadDataFile(files, "quad.3ds");
    ASSERT_EQ(1u, content.meshes.size());
    EXPECT_EQ((std::vector<int>{-1, -1}), FaceMaterials(content.meshes[0]));
    EXPECT_TRUE(content.materials.empty());
    std::string cut = model.Bytes();
    folder.WriteData("cut.3ds", cut.substr(0, cut.size() - 1));
    EXPECT_EQ(std::string("Unable to load .3ds file: ../data/cut.3ds") +
                  ": chunk 0x4D4D at byte 0 is " + std::to_string(cut.size()) +
                  " bytes long, but the file ends at byte " + std::to_string(cut.size() - 1),
              Raised([&] { Orv3dsFileReader::ReadDataFile(files, "cut.3ds"); }));
}

// Every shared model either loads with exactly the meshes, materials and normals lib3ds finds
// when it reads the whole file by itself, in the file's order, or is the empty file.
TEST(Orv3dsFileReader, RealWorldModelsLoadAsLib3dsReadsThem) {
    struct stat info;
    if (stat(SharedFolder().c_str(), &info) != 0)
        GTEST_SKIP() << SharedFolder() << " is not there";
    std::vector<std::string> names = SharedModels();
    ASSERT_GE(names.size(), 9u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = SharedFolder() + "/" + name;
        if (name == "empty.3ds") {
            EXPECT_EQ("Unable to load .3ds file: " + path + ": the file is empty",
                      Raised([&] { Orv3dsFileReader::ReadFile(path); }));
            continue;
        }
        Orv3dsFileContent content = Orv3dsFileReader::ReadFile(path);

        // The file's own order, from its chunks.
        const std::string bytes = OrvReadFile(path);
        std::vector<std::string> fileMeshes, fileMaterials;
        std::string object;
        for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes)) {
            if (chunk.id == 0x4000)
                object = chunk.name;
            if (chunk.id == 0x4100)
                fileMeshes.push_back(object);
            if (chunk.id == 0xA000)
                fileMaterials.push_back(chunk.name);
        }
        std::vector<std::string> meshes, materials;
        for (const Orv3dsMeshData& mesh : content.meshes)
            meshes.push_back(mesh.name);
        for (const Orv3dsMaterialData& material : content.materials)
            materials.push_back(material.name);
        EXPECT_EQ(fileMeshes, meshes);
        EXPECT_EQ(fileMaterials, materials);

        Lib3dsFile* file = lib3ds_file_load(path.c_str());
        ASSERT_NE(nullptr, file);
        for (const Orv3dsMeshData& mesh : content.meshes) {
            Lib3dsMesh* own = lib3ds_file_mesh_by_name(file, mesh.name.c_str());
            ASSERT_NE(nullptr, own) << mesh.name;
            ASSERT_EQ(own->points, static_cast<unsigned>(mesh.VertexCount()));
            ASSERT_EQ(own->faces, mesh.faces.size());
            EXPECT_EQ(own->texels > 0, mesh.HasTexCoords());
            std::vector<Lib3dsVector> normals(own->faces * 3);
            lib3ds_mesh_calculate_normals(own, normals.data());
            for (std::size_t corner = 0; corner < normals.size(); ++corner)
                for (int axis = 0; axis < 3; ++axis)
                    ASSERT_EQ(normals[corner][axis], mesh.normals[corner * 3 + axis]);
            for (const Orv3dsMeshData::Face& face : mesh.faces) {
                std::string named = own->faceL[&face - &mesh.faces[0]].material;
                if (face.material < 0)
                    EXPECT_EQ(nullptr, lib3ds_file_material_by_name(file, named.c_str()));
                else
                    EXPECT_EQ(named, content.materials.at(face.material).name);
            }
        }
        for (const Orv3dsMaterialData& material : content.materials) {
            Lib3dsMaterial* own = lib3ds_file_material_by_name(file, material.name.c_str());
            ASSERT_NE(nullptr, own);
            EXPECT_EQ(own->texture1_map.name, material.textureName);
            EXPECT_EQ(own->diffuse[1], material.diffuse[1]);
            EXPECT_EQ(own->shininess, material.shininess);
        }
        lib3ds_file_free(file);
    }
}

// Nothing that is not a finite number is drawn: a vertex or texture coordinate that is not
// one refuses the file, naming the file and the mesh.
TEST(Orv3dsFileReader, PositionsAndTextureCoordinatesThatAreNotNumbersRefuseTheFile) {
    OrvTestFolder folder;
    const OrvDataFolder files(folder.DataPath(""));
    const float nan = std::nanf("");
    const float inf = HUGE_VALF;
    struct Case {
        bool texCoord;
        int index;
        float value;
        std::string problem;
    } cases[] = {
        {false, 7, nan, "vertex 2 of mesh 'Lid' lies at a position that is not a finite number"},
        {false, 0, -inf, "vertex 0 of mesh 'Lid' lies at a position that is not a finite number"},
        {true, 3, inf,
         "vertex 1 of mesh 'Lid' has a texture coordinate that is not a finite number"},
        {true, 6, nan,
         "vertex 3 of mesh 'Lid' has a texture coordinate that is not a finite number"},
    };
    for (const Case& c : cases) {
        Orv3dsTestModel model;
        model.meshes = {Orv3dsTestModel::Quad("Body", ""), Orv3dsTestModel::Quad("Lid", "")};
        (c.texCoord ? model.meshes[1].texCoords : model.meshes[1].positions)[c.index] = c.value;
        ASSERT_TRUE(model.Save(folder.DataPath("bad.3ds")));
        EXPECT_EQ("Unable to load .3ds file: ../data/bad.3ds: " + c.problem,
                  Raised([&] { Orv3dsFileReader::ReadDataFile(files, "bad.3ds"); }));
    }
}

// Every corner gets a finite unit normal: faces whose coordinates overflow lib3ds's float
// arithmetic (1e19 and beyond, 1e30, the largest float) face the way their small copies do,
// and a face without area gets (1, 0, 0).
TEST(Orv3dsFileReader, HugeAndDegenerateFacesGetUnitNormals) {
    for (float scale : {1.0f, 1e10f, 1e19f, 1e30f, 1e38f}) {
        SCOPED_TRACE(scale);
        Orv3dsTestModel model;
        model.meshes = {Orv3dsTestModel::Quad("Flat", ""), Orv3dsTestModel::Cube("Box", 1)};
        for (Orv3dsTestMesh& mesh : model.meshes)
            for (float& value : mesh.positions)
                value *= scale;
        Orv3dsFileContent content = Read(model);
        ASSERT_EQ(2u, content.meshes.size());
        for (int face = 0; face < 2; ++face)
            for (int corner = 0; corner < 3; ++corner)
                ExpectNear({0, 0, 1}, Normal(content.meshes[0], face, corner), 1e-6f, "quad");
        // The cube is smooth: each corner points away from its centre along the diagonal.
        const Orv3dsMeshData& box = content.meshes[1];
        for (int face = 0; face < 12; ++face) {
            for (int corner = 0; corner < 3; ++corner) {
                const float* p = &box.positions[box.faces[face].vertex[corner] * 3];
                const float third = 1.0f / std::sqrt(3.0f);
                ExpectNear({p[0] > 0 ? third : -third, p[1] > 0 ? third : -third,
                            p[2] > 0 ? third : -third},
                           Normal(box, face, corner), 1e-5f, "cube");
            }
        }
    }

    Orv3dsTestModel flat;
    flat.meshes = {Orv3dsTestModel::Quad("Line", "")};
    for (int v = 0; v < 4; ++v)
        flat.meshes[0].positions[v * 3 + 1] = 0; // every corner on the x axis
    Orv3dsFileContent content = Read(flat);
    for (int corner = 0; corner < 3; ++corner)
        ExpectNear({1, 0, 0}, Normal(content.meshes[0], 0, corner), 0, "a face without area");
}

// A texture name from a model file stays in the data folder: a path keeps its last part (a
// model written on Windows keeps its texture), and a name that is no file is refused.
TEST(Orv3dsFileReader, TextureNamesAreReducedToFilesOfTheDataFolder) {
    const std::string names[][2] = {{"wood.jpg", "wood.jpg"},
                                    {"C:\\TEXTURES\\WOOD.JPG", "WOOD.JPG"},
                                    {"maps\\..\\bark.png", "bark.png"},
                                    {"../../etc/passwd", "passwd"},
                                    {"/tmp/x.png", "x.png"},
                                    {"", ""}};
    for (const auto& name : names) {
        Orv3dsTestModel model;
        model.materials.resize(1);
        model.materials[0].name = "Bark";
        model.materials[0].texture = name[0];
        Orv3dsFileContent content = Read(model);
        ASSERT_EQ(1u, content.materials.size());
        EXPECT_EQ(name[0], content.materials[0].textureName);
        EXPECT_EQ(name[1], content.materials[0].textureFile);
    }
    for (const std::string name : {"..", "maps/..", "C:\\MAPS\\", "./.", "."}) {
        Orv3dsTestModel model;
        model.materials.resize(1);
        model.materials[0].name = "Bark";
        model.materials[0].texture = name;
        EXPECT_EQ("Unable to load .3ds file: model.3ds: material 'Bark' names the texture '" +
                      name + "', which is no file name in the data folder",
                  Raised([&] { Read(model); }));
    }
}

// lib3ds moves the vertices of a mesh whose matrix mirrors through the matrix and its inverse;
// a matrix far out (a translation of 3e38) makes finite positions infinite on the way, and
// the file is refused like one that stores them so.
TEST(Orv3dsFileReader, PositionsThatLib3dsMirrorsOutOfRangeRefuseTheFile) {
    Orv3dsTestModel model;
    model.meshes = {Orv3dsTestModel::Quad("Lid", "")};
    std::string bytes = model.Bytes();
    const Orv3dsTestChunk matrix = Orv3dsFindChunk(bytes, 0x4160);
    ASSERT_EQ(0x4160u, matrix.id);
    // Axes -x, y, z (a mirror, determinant -1), origin at x = 3e38.
    const float values[12] = {-1, 0, 0, 0, 1, 0, 0, 0, 1, 3e38f, 0, 0};
    for (int i = 0; i < 12; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        Orv3dsPut32(bytes, matrix.start + 6 + i * 4, bits);
    }
    EXPECT_EQ("Unable to load .3ds file: model.3ds: vertex 0 of mesh 'Lid' lies at a position "
              "that is not a finite number",
              Raised([&] { Orv3dsFileReader::ReadBytes(bytes, "model.3ds"); }));
    // The same mirror near the origin keeps the quad finite (and mirrored).
    const float near[12] = {-1, 0, 0, 0, 1, 0, 0, 0, 1, 3, 0, 0};
    for (int i = 0; i < 12; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &near[i], sizeof bits);
        Orv3dsPut32(bytes, matrix.start + 6 + i * 4, bits);
    }
    Orv3dsFileContent content = Orv3dsFileReader::ReadBytes(bytes, "model.3ds");
    ASSERT_EQ(1u, content.meshes.size());
    EXPECT_EQ(6.0f, content.meshes[0].positions[0]);
}
