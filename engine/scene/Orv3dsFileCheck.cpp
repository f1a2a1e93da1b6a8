#include "scene/Orv3dsFileCheck.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// The chunks this check reads; the rest are only checked to lie inside their parent.
enum ChunkId : unsigned {
    MainMagic = 0x4D4D, // a scene file
    LibraryMagic = 0x3DAA,
    ProjectMagic = 0xC23D,
    Scene = 0x3D3D,
    MaterialEntry = 0xAFFF,
    MaterialName = 0xA000,
    MaterialAmbient = 0xA010,
    MaterialDiffuse = 0xA020,
    MaterialSpecular = 0xA030,
    MaterialShininess = 0xA040,
    MaterialTextureMap = 0xA200,
    MapFileName = 0xA300,
    ColorFloat = 0x0010,
    Color24 = 0x0011,
    LinearColor24 = 0x0012,
    LinearColorFloat = 0x0013,
    IntPercentage = 0x0030,
    FloatPercentage = 0x0031,
    NamedObject = 0x4000,
    TriangleMesh = 0x4100,
    VertexList = 0x4110,
    FaceList = 0x4120,
    FaceMaterials = 0x4130,
    TexCoordList = 0x4140,
    SmoothingGroups = 0x4150,
    MeshMatrix = 0x4160,
};

const uint64_t HeaderSize = 6;
// lib3ds reads every name into a buffer of 64 bytes, the terminating zero included.
const uint64_t NameBuffer = 64;

struct Chunk {
    unsigned id;
    uint64_t start; // where its header begins
    uint64_t end;   // one past its last byte
    uint64_t Body() const { return start + HeaderSize; }
    uint64_t BodySize() const { return end - Body(); }
};

std::string Text(uint64_t value) {
    return std::to_string(static_cast<unsigned long long>(value));
}

std::string Describe(const Chunk& chunk) {
    char id[8];
    std::snprintf(id, sizeof id, "0x%04X", chunk.id);
    return std::string("chunk ") + id + " at byte " + Text(chunk.start);
}

void PutLe16(std::string& out, unsigned value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

// Opens a chunk that contains others in a copy; its length is filled in by EndChunk.
std::size_t BeginChunk(std::string& out, unsigned id) {
    std::size_t at = out.size();
    PutLe16(out, id);
    PutLe32(out, 0);
    return at;
}

void EndChunk(std::string& out, std::size_t at) {
    uint32_t length = static_cast<uint32_t>(out.size() - at);
    for (int i = 0; i < 4; ++i)
        out[at + 2 + i] = char((length >> (8 * i)) & 0xFF);
}

// What a face list holds, as far as its mesh needs to know.
struct FaceSummary {
    uint64_t count = 0;
    unsigned highestVertex = 0; // the largest vertex index any face uses
    uint64_t faceWithHighest = 0;
};

// One walk over the file. Every read goes through At, which never leaves the bytes; every
// function that finds damage writes `problem` and returns false, and the walk stops there.
class Walker {
public:
    explicit Walker(const std::string& bytes) : data(bytes) {}

    bool Run();

    std::string problem;
    std::string reduced;
    std::vector<std::string> meshNames;
    std::vector<std::string> materialNames;

private:
    uint64_t modelVertices = 0;
    uint64_t modelFaces = 0;

    unsigned At(uint64_t pos) const {
        return pos < data.size() ? static_cast<unsigned char>(data[pos]) : 0u;
    }
    unsigned Le16(uint64_t pos) const { return At(pos) | At(pos + 1) << 8; }
    uint32_t Le32(uint64_t pos) const { return Le16(pos) | uint32_t(Le16(pos + 2)) << 16; }
    void Copy(std::string& out, const Chunk& chunk) const {
        out.append(data, chunk.start, chunk.end - chunk.start);
    }

    bool Fail(const std::string& what) {
        problem = what;
        return false;
    }

    bool Children(const Chunk& parent, uint64_t from, std::vector<Chunk>& children);
    bool Name(const Chunk& chunk, uint64_t from, std::string& name, uint64_t& after);
    bool NeedBytes(const Chunk& chunk, uint64_t needed, const char* what);
    bool Counted(const Chunk& chunk, uint64_t from, uint64_t itemSize, const char* items,
                 uint64_t& count);

    bool ReadScene(const Chunk& scene, std::string& out);
    bool ReadMaterial(const Chunk& material, std::string& out);
    bool ReadColor(const Chunk& color, std::string& out);
    bool ReadPercentage(const Chunk& percentage, std::string& out);
    bool ReadTextureMap(const Chunk& map, std::vector<std::string>& textures, std::string& out);
    bool FiniteFloats(const Chunk& list, uint64_t items, int floats, const std::string& mesh,
                      const char* what);
    bool ReadObject(const Chunk& object, std::string& out);
    bool ReadMesh(const Chunk& mesh, const std::string& name, std::string& out);
    bool ReadFaces(const Chunk& faces, FaceSummary& summary, std::string& out);

    const std::string& data;
};

// The chunks from `from` to the end of `parent`, each one's header and length inside it.
bool Walker::Children(const Chunk& parent, uint64_t from, std::vector<Chunk>& children) {
    uint64_t pos = from;
    while (pos < parent.end) {
        if (parent.end - pos < HeaderSize)
            return Fail(Describe(parent) + " ends with " + Text(parent.end - pos) +
                        " bytes, too few for a chunk header");
        Chunk child{Le16(pos), pos, pos + Le32(pos + 2)};
        uint64_t length = child.end - child.start;
        if (length < HeaderSize)
            return Fail(Describe(child) + " says it is " + Text(length) +
                        " bytes long, shorter than its own 6-byte header");
        if (child.end > parent.end)
            return Fail(Describe(child) + " is " + Text(length) +
                        " bytes long and runs past the end of " + Describe(parent) +
                        ", which ends at byte " + Text(parent.end));
        children.push_back(child);
        pos = child.end;
    }
    return true;
}

// A zero-terminated name at `from`; `after` is the position after its zero byte.
bool Walker::Name(const Chunk& chunk, uint64_t from, std::string& name, uint64_t& after) {
    uint64_t limit = chunk.end - from < NameBuffer ? chunk.end : from + NameBuffer;
    for (uint64_t pos = from; pos < limit; ++pos) {
        if (At(pos) == 0) {
            name.assign(data, from, pos - from);
            after = pos + 1;
            return true;
        }
    }
    if (limit == chunk.end)
        return Fail("the name in " + Describe(chunk) + " is not terminated within its chunk");
    return Fail("the name in " + Describe(chunk) + " is longer than " + Text(NameBuffer - 1) +
                " characters");
}

bool Walker::NeedBytes(const Chunk& chunk, uint64_t needed, const char* what) {
    if (chunk.BodySize() >= needed)
        return true;
    return Fail(Describe(chunk) + " holds " + Text(chunk.BodySize()) + " bytes, too few for " +
                what + " of " + Text(needed));
}

// A 16-bit count at `from` followed by that many items of `itemSize` bytes, all inside the
// chunk.
bool Walker::Counted(const Chunk& chunk, uint64_t from, uint64_t itemSize, const char* items,
                     uint64_t& count) {
    if (chunk.end - from < 2)
        return Fail(Describe(chunk) + " is too short for its count of " + items);
    count = Le16(from);
    uint64_t room = (chunk.end - from - 2) / itemSize;
    if (count > room)
        return Fail(Describe(chunk) + " says " + Text(count) + " " + items +
                    " but holds room for " + Text(room));
    return true;
}

bool Walker::Run() {
    const uint64_t size = data.size();
    if (size == 0)
        return Fail("the file is empty");
    if (size > static_cast<uint64_t>(Orv3dsFileCheck::MaxFileBytes))
        return Fail("the file is " + Text(size) + " bytes long, more than the " +
                    Text(Orv3dsFileCheck::MaxFileBytes) + " bytes a model may have");
    if (size < HeaderSize)
        return Fail("the file is only " + Text(size) + " bytes long, too short for a chunk");
    Chunk root{Le16(0), 0, Le32(2)};
    if (root.end < HeaderSize)
        return Fail(Describe(root) + " says it is " + Text(root.end) +
                    " bytes long, shorter than its own 6-byte header");
    if (root.end > size)
        return Fail(Describe(root) + " is " + Text(root.end) +
                    " bytes long, but the file ends at byte " + Text(size));

    std::string scene;
    if (root.id == Scene) {
        if (!ReadScene(root, scene))
            return false;
    } else if (root.id == MainMagic || root.id == LibraryMagic || root.id == ProjectMagic) {
        std::vector<Chunk> children;
        if (!Children(root, root.Body(), children))
            return false;
        for (const Chunk& child : children)
            if (child.id == Scene && !ReadScene(child, scene))
                return false;
    } else {
        char id[8];
        std::snprintf(id, sizeof id, "0x%04X", root.id);
        return Fail(std::string("the file does not start with a 3DS chunk (its first chunk is ") +
                    id + ")");
    }

    std::size_t file = BeginChunk(reduced, MainMagic);
    std::size_t sceneAt = BeginChunk(reduced, Scene);
    reduced += scene;
    EndChunk(reduced, sceneAt);
    EndChunk(reduced, file);
    return true;
}

bool Walker::ReadScene(const Chunk& scene, std::string& out) {
    std::vector<Chunk> children;
    if (!Children(scene, scene.Body(), children))
        return false;
    for (const Chunk& child : children) {
        if (child.id == MaterialEntry && !ReadMaterial(child, out))
            return false;
        if (child.id == NamedObject && !ReadObject(child, out))
            return false;
    }
    return true;
}

bool Walker::ReadMaterial(const Chunk& material, std::string& out) {
    if (materialNames.size() >= static_cast<std::size_t>(Orv3dsFileCheck::MaxMaterials))
        return Fail("the file has more than " + Text(Orv3dsFileCheck::MaxMaterials) + " materials");
    std::vector<Chunk> children;
    if (!Children(material, material.Body(), children))
        return false;
    std::string name;
    std::vector<std::string> textures;
    std::size_t at = BeginChunk(out, MaterialEntry);
    for (const Chunk& child : children) {
        switch (child.id) {
        case MaterialName: {
            uint64_t after;
            if (!Name(child, child.Body(), name, after))
                return false;
            Copy(out, child);
            break;
        }
        case MaterialAmbient:
        case MaterialDiffuse:
        case MaterialSpecular:
            if (!ReadColor(child, out))
                return false;
            break;
        case MaterialShininess:
            if (!ReadPercentage(child, out))
                return false;
            break;
        case MaterialTextureMap:
            if (!ReadTextureMap(child, textures, out))
                return false;
            break;
        default:
            break;
        }
    }
    EndChunk(out, at);
    for (const std::string& texture : textures)
        if (!Orv3dsFileCheck::NamesDataFile(texture))
            return Fail("material '" + name + "' names the texture '" + texture +
                        "', which is no file name in the data folder");
    materialNames.push_back(name);
    return true;
}

bool Walker::ReadColor(const Chunk& color, std::string& out) {
    std::vector<Chunk> children;
    if (!Children(color, color.Body(), children))
        return false;
    std::size_t at = BeginChunk(out, color.id);
    for (const Chunk& child : children) {
        uint64_t needed = 0;
        if (child.id == ColorFloat || child.id == LinearColorFloat)
            needed = 12;
        else if (child.id == Color24 || child.id == LinearColor24)
            needed = 3;
        else
            continue;
        if (!NeedBytes(child, needed, "a colour"))
            return false;
        Copy(out, child);
    }
    EndChunk(out, at);
    return true;
}

bool Walker::ReadPercentage(const Chunk& percentage, std::string& out) {
    std::vector<Chunk> children;
    if (!Children(percentage, percentage.Body(), children))
        return false;
    std::size_t at = BeginChunk(out, percentage.id);
    for (const Chunk& child : children) {
        uint64_t needed = 0;
        if (child.id == IntPercentage)
            needed = 2;
        else if (child.id == FloatPercentage)
            needed = 4;
        else
            continue;
        if (!NeedBytes(child, needed, "a percentage"))
            return false;
        Copy(out, child);
    }
    EndChunk(out, at);
    return true;
}

bool Walker::ReadTextureMap(const Chunk& map, std::vector<std::string>& textures,
                            std::string& out) {
    std::vector<Chunk> children;
    if (!Children(map, map.Body(), children))
        return false;
    std::size_t at = BeginChunk(out, map.id);
    for (const Chunk& child : children) {
        if (child.id != MapFileName)
            continue;
        std::string name;
        uint64_t after;
        if (!Name(child, child.Body(), name, after))
            return false;
        textures.push_back(name);
        Copy(out, child);
    }
    EndChunk(out, at);
    return true;
}

// The first `items` items of `floats` floats each after the 16-bit count of a list (which
// Counted found to fit), all finite: OpenGL's results for NaN and infinities are undefined,
// and one such vertex spoils the normals of every face around it.
bool Walker::FiniteFloats(const Chunk& list, uint64_t items, int floats, const std::string& mesh,
                          const char* what) {
    const uint64_t first = list.Body() + 2;
    for (uint64_t item = 0; item < items; ++item) {
        for (int i = 0; i < floats; ++i) {
            uint32_t bits = Le32(first + (item * floats + i) * 4);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value))
                return Fail("vertex " + Text(item) + " of mesh '" + mesh + "' " + what +
                            " that is not a finite number");
        }
    }
    return true;
}

bool Walker::ReadObject(const Chunk& object, std::string& out) {
    std::string name;
    uint64_t after;
    if (!Name(object, object.Body(), name, after))
        return false;
    std::vector<Chunk> children;
    if (!Children(object, after, children))
        return false;
    std::string meshes;
    for (const Chunk& child : children)
        if (child.id == TriangleMesh && !ReadMesh(child, name, meshes))
            return false;
    if (meshes.empty())
        return true; // a camera, a light or an empty object: nothing the engine draws
    std::size_t at = BeginChunk(out, NamedObject);
    out += name;
    out += '\0';
    out += meshes;
    EndChunk(out, at);
    return true;
}

bool Walker::ReadMesh(const Chunk& mesh, const std::string& name, std::string& out) {
    if (meshNames.size() >= static_cast<std::size_t>(Orv3dsFileCheck::MaxMeshes))
        return Fail("the file has more than " + Text(Orv3dsFileCheck::MaxMeshes) + " meshes");
    std::vector<Chunk> children;
    if (!Children(mesh, mesh.Body(), children))
        return false;
    // lib3ds keeps the last list of each kind, so only the last one is passed on.
    const Chunk* vertices = nullptr;
    const Chunk* texCoords = nullptr;
    const Chunk* matrix = nullptr;
    const Chunk* faces = nullptr;
    uint64_t vertexCount = 0;
    uint64_t texCoordCount = 0;
    FaceSummary faceSummary;
    std::string faceCopy;
    for (const Chunk& child : children) {
        switch (child.id) {
        case VertexList:
            if (!Counted(child, child.Body(), 12, "vertices", vertexCount))
                return false;
            vertices = &child;
            break;
        case TexCoordList:
            if (!Counted(child, child.Body(), 8, "texture coordinates", texCoordCount))
                return false;
            texCoords = &child;
            break;
        case MeshMatrix:
            if (!NeedBytes(child, 48, "a 4x3 matrix"))
                return false;
            matrix = &child;
            break;
        case FaceList:
            faceSummary = FaceSummary();
            faceCopy.clear();
            if (!ReadFaces(child, faceSummary, faceCopy))
                return false;
            faces = &child;
            break;
        default:
            break;
        }
    }
    if (faceSummary.count > 0 && faceSummary.highestVertex >= vertexCount)
        return Fail("face " + Text(faceSummary.faceWithHighest) + " in " + Describe(*faces) +
                    " uses vertex " + Text(faceSummary.highestVertex) + ", but mesh '" + name +
                    "' has " + Text(vertexCount) + " vertices");
    if (texCoordCount > 0 && texCoordCount < vertexCount)
        return Fail("mesh '" + name + "' has " + Text(texCoordCount) + " texture coordinates for " +
                    Text(vertexCount) + " vertices");
    if (vertices && !FiniteFloats(*vertices, vertexCount, 3, name, "lies at a position"))
        return false;
    // Texture coordinates past the vertices are never used.
    if (texCoords &&
        !FiniteFloats(*texCoords, texCoordCount < vertexCount ? texCoordCount : vertexCount, 2,
                      name, "has a texture coordinate"))
        return false;
    modelVertices += vertexCount;
    modelFaces += faceSummary.count;
    if (modelVertices > static_cast<uint64_t>(Orv3dsFileCheck::MaxModelVertices))
        return Fail("the meshes up to '" + name + "' have " + Text(modelVertices) +
                    " vertices, more than the " + Text(Orv3dsFileCheck::MaxModelVertices) +
                    " vertices a model may have");
    if (modelFaces > static_cast<uint64_t>(Orv3dsFileCheck::MaxModelFaces))
        return Fail("the meshes up to '" + name + "' have " + Text(modelFaces) +
                    " faces, more than the " + Text(Orv3dsFileCheck::MaxModelFaces) +
                    " faces a model may have");

    std::size_t at = BeginChunk(out, TriangleMesh);
    if (vertices)
        Copy(out, *vertices);
    if (texCoords)
        Copy(out, *texCoords);
    if (matrix)
        Copy(out, *matrix);
    out += faceCopy;
    EndChunk(out, at);
    meshNames.push_back(name);
    return true;
}

bool Walker::ReadFaces(const Chunk& faces, FaceSummary& summary, std::string& out) {
    uint64_t count;
    if (!Counted(faces, faces.Body(), 8, "faces", count))
        return false;
    summary.count = count;
    uint64_t first = faces.Body() + 2;
    for (uint64_t face = 0; face < count; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            unsigned vertex = Le16(first + face * 8 + corner * 2);
            if (vertex > summary.highestVertex || (face == 0 && corner == 0)) {
                summary.highestVertex = vertex;
                summary.faceWithHighest = face;
            }
        }
    }
    std::vector<Chunk> children;
    if (!Children(faces, first + count * 8, children))
        return false;

    std::size_t at = BeginChunk(out, FaceList);
    out.append(data, faces.Body(), 2 + count * 8);
    // lib3ds reads the face materials and smoothing groups only of a list with faces.
    const Chunk* smoothing = nullptr;
    for (const Chunk& child : children) {
        if (count == 0)
            break;
        if (child.id == FaceMaterials) {
            std::string name;
            uint64_t after;
            uint64_t listed;
            if (!Name(child, child.Body(), name, after) ||
                !Counted(child, after, 2, "faces", listed))
                return false;
            for (uint64_t i = 0; i < listed; ++i) {
                unsigned face = Le16(after + 2 + i * 2);
                if (face >= count)
                    return Fail(Describe(child) + " names face " + Text(face) +
                                ", but its face list has " + Text(count) + " faces");
            }
            Copy(out, child);
        } else if (child.id == SmoothingGroups) {
            if (child.BodySize() / 4 < count)
                return Fail(Describe(child) + " holds smoothing groups for " +
                            Text(child.BodySize() / 4) + " faces, but its face list has " +
                            Text(count));
            smoothing = &child;
        }
    }
    if (smoothing)
        Copy(out, *smoothing);
    EndChunk(out, at);
    return true;
}

} // namespace

bool Orv3dsFileCheck::NamesDataFile(const std::string& texture) {
    if (texture.empty())
        return true;
    const std::size_t separator = texture.find_last_of("/\\");
    const std::string file =
        separator == std::string::npos ? texture : texture.substr(separator + 1);
    return !file.empty() && file != "." && file != "..";
}

Orv3dsFileCheck::Orv3dsFileCheck(const std::string& bytes) {
    Walker walker(bytes);
    if (walker.Run()) {
        reduced.swap(walker.reduced);
        meshNames.swap(walker.meshNames);
        materialNames.swap(walker.materialNames);
    } else {
        problem = walker.problem;
    }
}
