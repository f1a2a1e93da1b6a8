// The 3DS structure check on models written by lib3ds and on hand-made chunk trees: what it
// accepts, what it refuses (and says), and what it passes on to lib3ds.

#include "scene/Orv3dsFileCheck.h"

#include "support/Orv3dsTestChunks.h"
#include "support/Orv3dsTestModel.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// One chunk: id, length and data.
std::string Chunk(unsigned id, const std::string& data) {
    std::string bytes(6, '\0');
    Orv3dsPut16(bytes, 0, id);
    Orv3dsPut32(bytes, 2, static_cast<uint32_t>(6 + data.size()));
    return bytes + data;
}

std::string SceneFile(const std::string& sceneChunks) {
    return Chunk(0x4D4D, Chunk(0x3D3D, sceneChunks));
}

std::string Zero() {
    return std::string(1, '\0');
}

// Three meshes and three materials, neither list in alphabetical order.
Orv3dsTestModel ThreeMeshModel() {
    Orv3dsTestModel model;
    model.materials.resize(3);
    model.materials[0].name = "Red";
    model.materials[0].texture = "red.png";
    model.materials[1].name = "Blue";
    model.materials[2].name = "Green";
    model.meshes = {Orv3dsTestModel::Quad("Zeta", "Blue"), Orv3dsTestModel::Quad("Alpha", "Red"),
                    Orv3dsTestModel::Cube("Mid", 1)};
    return model;
}

std::string Problem(const std::string& bytes) {
    return Orv3dsFileCheck(bytes).Problem();
}

} // namespace

TEST(Orv3dsFileCheck, AcceptsAWrittenModelAndPassesOnOnlyWhatItChecked) {
    Orv3dsTestModel model = ThreeMeshModel();
    model.keyframer = true;
    const std::string bytes = model.Bytes();
    ASSERT_FALSE(bytes.empty());
    Orv3dsFileCheck check(bytes);
    ASSERT_TRUE(check.Valid()) << check.Problem();
    EXPECT_EQ((std::vector<std::string>{"Zeta", "Alpha", "Mid"}), check.MeshNames());
    EXPECT_EQ((std::vector<std::string>{"Red", "Blue", "Green"}), check.MaterialNames());

    // The copy holds only chunks lib3ds needs for materials and meshes, with the same data.
    const std::set<unsigned> kept = {0x4D4D, 0x3D3D, 0xAFFF, 0xA000, 0xA010, 0xA020,
                                     0xA030, 0xA040, 0xA200, 0xA300, 0x0010, 0x0011,
                                     0x0012, 0x0013, 0x0030, 0x0031, 0x4000, 0x4100,
                                     0x4110, 0x4120, 0x4130, 0x4140, 0x4150, 0x4160};
    const std::string& reduced = check.ReducedFile();
    ASSERT_NE(0u, Orv3dsFindChunk(bytes, 0xB000).id) << "the model should have a key-framer";
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(reduced))
        EXPECT_EQ(1u, kept.count(chunk.id)) << std::hex << "chunk 0x" << chunk.id;
    for (unsigned id : {0x4110u, 0x4140u, 0x4150u, 0xA300u}) {
        std::vector<std::string> original, copied;
        for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes))
            if (chunk.id == id)
                original.push_back(bytes.substr(chunk.start, chunk.length));
        for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(reduced))
            if (chunk.id == id)
                copied.push_back(reduced.substr(chunk.start, chunk.length));
        EXPECT_FALSE(original.empty());
        EXPECT_EQ(original, copied) << std::hex << "chunk 0x" << id;
    }
    Orv3dsFileCheck again(reduced);
    EXPECT_TRUE(again.Valid()) << again.Problem();
    EXPECT_EQ(check.MeshNames(), again.MeshNames());
}

TEST(Orv3dsFileCheck, RefusesEmptyShortAndForeignFiles) {
    EXPECT_EQ("the file is empty", Problem(""));
    EXPECT_EQ("the file is only 5 bytes long, too short for a chunk",
              Problem(std::string("MM\x10\0\0", 5)));
    EXPECT_EQ("the file does not start with a 3DS chunk (its first chunk is 0x5089)",
              Problem(Chunk(0x5089, "NG")));
    EXPECT_EQ("chunk 0x4D4D at byte 0 is 980 bytes long, but the file ends at byte 12",
              Problem(std::string("MM\xd4\x03\0\0\x02\0\x0a\0\0\0", 12)));
    // A scene whose only content is a camera is whole, and has nothing to draw.
    Orv3dsFileCheck camera(SceneFile(Chunk(0x4000, "cam" + Zero() + Chunk(0x4700, "xyz"))));
    ASSERT_TRUE(camera.Valid()) << camera.Problem();
    EXPECT_TRUE(camera.MeshNames().empty());
}

TEST(Orv3dsFileCheck, EveryCutOfAModelIsRefused) {
    const std::string bytes = ThreeMeshModel().Bytes();
    std::set<std::size_t> boundaries = {6}; // a cut that ends a chunk of the outermost one
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes))
        if (chunk.depth == 1)
            boundaries.insert(chunk.start + chunk.length);
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        std::string cut = bytes.substr(0, length);
        EXPECT_FALSE(Orv3dsFileCheck(cut).Valid()) << "cut at " << length;
        if (length < 6)
            continue;
        // The outermost length mended to the cut: the damage is then found further in.
        Orv3dsPut32(cut, 2, static_cast<uint32_t>(length));
        EXPECT_EQ(boundaries.count(length) > 0, Orv3dsFileCheck(cut).Valid())
            << "cut at " << length << ": " << Problem(cut);
    }
}

TEST(Orv3dsFileCheck, EveryChunkLengthThatDoesNotFitIsRefused) {
    const std::string bytes = ThreeMeshModel().Bytes();
    // Chunks inside the ones the check reads (chunks inside unused chunks are never read).
    const std::set<unsigned> read = {0x4D4D, 0x3D3D, 0xAFFF, 0xA010, 0xA020, 0xA030,
                                     0xA040, 0xA200, 0x4000, 0x4100, 0x4120};
    std::vector<Orv3dsTestChunk> chunks = Orv3dsListChunks(bytes);
    std::vector<unsigned> parents;
    int tried = 0;
    for (const Orv3dsTestChunk& chunk : chunks) {
        parents.resize(chunk.depth);
        bool inRead = true;
        for (unsigned parent : parents)
            inRead = inRead && read.count(parent) > 0;
        parents.push_back(chunk.id);
        if (!inRead)
            continue;
        for (uint32_t length : {0u, 5u, 0x7FFFFFFFu}) {
            std::string damaged = bytes;
            Orv3dsPut32(damaged, chunk.start + 2, length);
            EXPECT_FALSE(Orv3dsFileCheck(damaged).Valid())
                << std::hex << "chunk 0x" << chunk.id << std::dec << " at " << chunk.start
                << " with length " << length;
            ++tried;
        }
    }
    EXPECT_GT(tried, 100);
    // The exact words for the three kinds.
    Orv3dsTestChunk faces = Orv3dsFindChunk(bytes, 0x4120);
    std::string zero = bytes, past = bytes;
    Orv3dsPut32(zero, faces.start + 2, 0);
    Orv3dsPut32(past, faces.start + 2, 0x7FFFFFFF);
    const std::string at = std::to_string(faces.start);
    EXPECT_EQ("chunk 0x4120 at byte " + at + " says it is 0 bytes long, shorter than its own " +
                  "6-byte header",
              Problem(zero));
    Orv3dsTestChunk mesh = Orv3dsFindChunk(bytes, 0x4100);
    EXPECT_EQ("chunk 0x4120 at byte " + at + " is 2147483647 bytes long and runs past the end " +
                  "of chunk 0x4100 at byte " + std::to_string(mesh.start) +
                  ", which ends at byte " + std::to_string(mesh.start + mesh.length),
              Problem(past));
}

TEST(Orv3dsFileCheck, CountsLargerThanTheirChunkAreRefused) {
    const std::string bytes = ThreeMeshModel().Bytes();
    struct Case {
        unsigned id;
        const char* items;
        std::size_t itemSize;
    };
    for (Case c : {Case{0x4110, "vertices", 12}, Case{0x4120, "faces", 8},
                   Case{0x4140, "texture coordinates", 8}}) {
        Orv3dsTestChunk chunk = Orv3dsFindChunk(bytes, c.id);
        const std::size_t countAt = chunk.start + 6;
        const std::size_t room = (chunk.length - 8) / c.itemSize;
        for (unsigned count : {unsigned(room + 1), 65535u}) {
            std::string damaged = bytes;
            Orv3dsPut16(damaged, countAt, count);
            EXPECT_EQ("chunk 0x" +
                          std::string(c.id == 0x4110   ? "4110"
                                      : c.id == 0x4120 ? "4120"
                                                       : "4140") +
                          " at byte " + std::to_string(chunk.start) + " says " +
                          std::to_string(count) + " " + c.items + " but holds room for " +
                          std::to_string(room),
                      Problem(damaged));
        }
    }
    Orv3dsTestChunk group = Orv3dsFindChunk(bytes, 0x4130);
    std::string damaged = bytes;
    Orv3dsPut16(damaged, group.content, 65535);
    EXPECT_EQ("chunk 0x4130 at byte " + std::to_string(group.start) +
                  " says 65535 faces but holds room for 2",
              Problem(damaged));
}

TEST(Orv3dsFileCheck, IndicesOutsideTheirListsAreRefused) {
    const std::string bytes = ThreeMeshModel().Bytes();
    Orv3dsTestChunk faces = Orv3dsFindChunk(bytes, 0x4120);
    std::string damaged = bytes;
    Orv3dsPut16(damaged, faces.start + 8 + 8 + 2, 4); // face 1, second corner
    EXPECT_EQ("face 1 in chunk 0x4120 at byte " + std::to_string(faces.start) +
                  " uses vertex 4, but mesh 'Zeta' has 4 vertices",
              Problem(damaged));

    Orv3dsTestChunk group = Orv3dsFindChunk(bytes, 0x4130);
    damaged = bytes;
    Orv3dsPut16(damaged, group.content + 2 + 2, 2); // its second entry
    EXPECT_EQ("chunk 0x4130 at byte " + std::to_string(group.start) +
                  " names face 2, but its face list has 2 faces",
              Problem(damaged));

    Orv3dsTestModel model;
    model.meshes = {Orv3dsTestModel::Quad("Short", "")};
    model.meshes[0].texCoords.resize(6);
    EXPECT_EQ("mesh 'Short' has 3 texture coordinates for 4 vertices", Problem(model.Bytes()));
    model.meshes[0].positions.clear();
    model.meshes[0].texCoords.clear();
    std::string noVertices = model.Bytes();
    EXPECT_EQ("face 1 in chunk 0x4120 at byte " +
                  std::to_string(Orv3dsFindChunk(noVertices, 0x4120).start) +
                  " uses vertex 3, but mesh 'Short' has 0 vertices",
              Problem(noVertices));
}

TEST(Orv3dsFileCheck, NamesMustEndInsideTheirChunkAndFitLib3dsBuffers) {
    const std::string longest(63, 'n');
    const std::string tooLong(64, 'n');
    auto object = [](const std::string& name) {
        return SceneFile(Chunk(0x4000, name + Chunk(0x4100, "")));
    };
    auto material = [](unsigned id, const std::string& name) {
        return SceneFile(
            Chunk(0xAFFF, id == 0xA000 ? Chunk(0xA000, name) : Chunk(0xA200, Chunk(0xA300, name))));
    };
    Orv3dsFileCheck fits(object(longest + Zero()));
    ASSERT_TRUE(fits.Valid()) << fits.Problem();
    EXPECT_EQ(std::vector<std::string>{longest}, fits.MeshNames());
    EXPECT_TRUE(Orv3dsFileCheck(material(0xA000, longest + Zero())).Valid());
    EXPECT_TRUE(Orv3dsFileCheck(material(0xA300, longest + Zero())).Valid());

    EXPECT_EQ("the name in chunk 0x4000 at byte 12 is longer than 63 characters",
              Problem(object(tooLong + Zero())));
    EXPECT_EQ("the name in chunk 0x4000 at byte 12 is not terminated within its chunk",
              Problem(SceneFile(Chunk(0x4000, "abc"))));
    EXPECT_EQ("the name in chunk 0xA000 at byte 18 is longer than 63 characters",
              Problem(material(0xA000, tooLong + Zero())));
    EXPECT_EQ("the name in chunk 0xA000 at byte 18 is not terminated within its chunk",
              Problem(material(0xA000, "abc")));
    EXPECT_EQ("the name in chunk 0xA300 at byte 24 is not terminated within its chunk",
              Problem(material(0xA300, "tex.png")));
    std::string faceList = std::string("\x01\0\0\0\0\0\0\0\0\0", 10);
    EXPECT_EQ("the name in chunk 0x4130 at byte 42 is longer than 63 characters",
              Problem(SceneFile(Chunk(
                  0x4000,
                  "m" + Zero() +
                      Chunk(0x4100, Chunk(0x4120, faceList + Chunk(0x4130, tooLong + Zero())))))));
}

TEST(Orv3dsFileCheck, RefusesMoreMeshesOrMaterialsThanItsLimits) {
    std::string meshes, materials;
    for (int i = 0; i < Orv3dsFileCheck::MaxMeshes; ++i)
        meshes += Chunk(0x4000, "m" + Zero() + Chunk(0x4100, ""));
    for (int i = 0; i < Orv3dsFileCheck::MaxMaterials; ++i)
        materials += Chunk(0xAFFF, "");
    EXPECT_TRUE(Orv3dsFileCheck(SceneFile(meshes + materials)).Valid());
    EXPECT_EQ("the file has more than 10000 meshes",
              Problem(SceneFile(meshes + Chunk(0x4000, "m" + Zero() + Chunk(0x4100, "")))));
    EXPECT_EQ("the file has more than 10000 materials",
              Problem(SceneFile(materials + Chunk(0xAFFF, ""))));
}

namespace {

// A mesh chunk of `vertices` vertices at the origin and `faces` faces that all use vertex 0.
std::string CountedMesh(unsigned vertices, unsigned faces) {
    std::string vertexList(2 + vertices * 12, '\0');
    Orv3dsPut16(vertexList, 0, vertices);
    std::string faceList(2 + faces * 8, '\0');
    Orv3dsPut16(faceList, 0, faces);
    return Chunk(0x4000,
                 "m" + Zero() + Chunk(0x4100, Chunk(0x4110, vertexList) + Chunk(0x4120, faceList)));
}

// A scene file of `copies` times one mesh chunk and then another, built in place: these files
// are tens of megabytes.
std::string ManyMeshes(const std::string& mesh, int copies, const std::string& last) {
    const std::size_t scene = 6 + mesh.size() * copies + last.size();
    std::string bytes(12, '\0');
    bytes.reserve(6 + scene);
    Orv3dsPut16(bytes, 0, 0x4D4D);
    Orv3dsPut32(bytes, 2, static_cast<uint32_t>(6 + scene));
    Orv3dsPut16(bytes, 6, 0x3D3D);
    Orv3dsPut32(bytes, 8, static_cast<uint32_t>(scene));
    for (int i = 0; i < copies; ++i)
        bytes += mesh;
    bytes += last;
    return bytes;
}

} // namespace

// A model's vertices and faces are counted over all its meshes: each budget is reached, not
// passed, by full meshes and one with the rest, and one more of either is refused.
TEST(Orv3dsFileCheck, RefusesModelsPastTheBudgetOfVerticesAndFaces) {
    ASSERT_EQ(2097152, Orv3dsFileCheck::MaxModelFaces);
    ASSERT_EQ(4194304, Orv3dsFileCheck::MaxModelVertices);
    // 32 full face lists and 32 faces.
    const std::string faces = CountedMesh(1, 65535);
    EXPECT_TRUE(Orv3dsFileCheck(ManyMeshes(faces, 32, CountedMesh(1, 32))).Valid());
    EXPECT_EQ("the meshes up to 'm' have 2097153 faces, more than the 2097152 faces a model may "
              "have",
              Problem(ManyMeshes(faces, 32, CountedMesh(1, 33))));
    // 64 full vertex lists and 64 vertices.
    const std::string vertices = CountedMesh(65535, 0);
    EXPECT_TRUE(Orv3dsFileCheck(ManyMeshes(vertices, 64, CountedMesh(64, 0))).Valid());
    EXPECT_EQ("the meshes up to 'm' have 4194305 vertices, more than the 4194304 vertices a "
              "model may have",
              Problem(ManyMeshes(vertices, 64, CountedMesh(65, 0))));
}
