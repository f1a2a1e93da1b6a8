#ifndef ORV_SCENE_ORV3DSFILECHECK_H
#define ORV_SCENE_ORV3DSFILECHECK_H

// Walks the chunk tree of a 3DS file with its own bounded reads, before lib3ds sees any of
// it, and says in words what is wrong with a damaged file. For a sound file it also builds
// the copy of the file that lib3ds is given instead of the file itself (ReducedFile).
//
// Why: lib3ds 1.3 trusts every length and count it reads. A chunk of length 0 makes it loop
// for ever; a face count larger than the data makes it read past the chunk into garbage
// vertex indices and crash; a face index past the vertex list, or a face-material entry past
// the face list, makes it read or write outside its arrays; a key-framer node that names
// itself as its parent recurses without end; a track key count read from damaged bytes
// allocates keys until memory runs out. A cut file is read without notice.
//
// What is checked, for the parts the engine uses (materials and triangle meshes):
// - the file is not empty and not larger than MaxFileBytes, and starts with a 3DS chunk;
// - every chunk header lies inside its parent, and every length is at least 6 and ends
//   inside the parent (for the outermost chunk: inside the file; bytes after it are ignored);
// - vertex (0x4110), texture-coordinate (0x4140) and face (0x4120) counts fit the chunk;
//   face-material (0x4130) lists fit their chunk and name only faces of their face list;
//   smoothing groups (0x4150) cover the whole face list; the mesh matrix (0x4160), colours
//   and percentages hold the bytes they are read from;
// - every face uses vertices of its mesh (the last vertex list, as lib3ds keeps the last);
//   a mesh with texture coordinates has at least one per vertex;
// - object, material, face-material and texture file names (0x4000, 0xA000, 0x4130, 0xA300)
//   end with a zero byte inside their chunk and within 64 bytes, lib3ds's name buffer;
// - every vertex position, and every texture coordinate of a vertex, is a finite number (what
//   is drawn must be one);
// - a texture file name names a file: its last component after any '/' or '\\' (the file
//   the engine reads from the data folder, see NamesDataFile) is not empty, "." or "..";
// - at most MaxMeshes meshes and MaxMaterials materials (lib3ds inserts each one into a
//   sorted list, so its time grows with the square of their number);
// - at most MaxModelVertices vertices and MaxModelFaces faces over all meshes together (the
//   last list of each mesh, the one lib3ds keeps). A face costs the reader about twenty times
//   its eight bytes in the file (lib3ds's record, normals per corner, the triangle list), so
//   the file limit alone would let a model take gigabytes; the check refuses such a file
//   while nothing is allocated beyond the file and its copy, and says so ("the meshes up to
//   'Hull' have 2097153 faces, more than the 2097152 faces a model may have").
// The grammar itself bounds the depth: at most six chunks nested (file, scene, object, mesh,
// face list, face materials).
//
// What is left out: everything lib3ds would read besides materials and meshes - the
// key-framer, cameras, lights, viewports, backgrounds, fog, shadows - and, inside materials
// and meshes, every chunk the engine does not use. Those chunks are only checked to lie
// inside their parent; lib3ds never sees them, so damage there cannot reach it. ReducedFile
// is a file of the same layout that holds exactly the checked chunks, in file order, with the
// lengths of the chunks that contain others recomputed.
//
// The file's order of meshes and materials is given by MeshNames and MaterialNames: lib3ds
// sorts both lists by name while it reads (keeping the file order among equal names), so the
// reader restores the file order from these.
//
// The check owns copies of what it found and keeps no pointer to the bytes it was given; it
// does all its work in the constructor.

#include <string>
#include <vector>

class Orv3dsFileCheck {
public:
    // Far more than any model a show draws; at these limits, with every name alike (the
    // slowest case for lib3ds's sorted inserts), a file still reads in about a second.
    static const int MaxMeshes = 10000;
    static const int MaxMaterials = 10000;
    // Larger files are not models a show can use (a mesh holds at most 65535 vertices and
    // faces, about 2 MB); refusing them keeps a wrong name from being read into memory.
    static const long long MaxFileBytes = 256LL << 20;
    // What one model may cost over all its meshes. 2^21 faces is 32 meshes of the most a mesh
    // can hold, several times the largest models a real-time show draws, and reads in about
    // 0.4 GB and ten seconds (lib3ds keeps about 100 bytes a face until the reader has copied
    // it); 2^22 vertices lets such a model be unwelded at its seams (or a model of 1.4 million
    // faces keep three vertices for each).
    static constexpr long long MaxModelVertices = 1LL << 22;
    static constexpr long long MaxModelFaces = 1LL << 21;

    // True when the last component of a texture name after any '/' or '\\' is a file name
    // (not empty, "." or ".."), or the name is empty (no texture).
    static bool NamesDataFile(const std::string& texture);

    // Checks the whole content of a file.
    explicit Orv3dsFileCheck(const std::string& bytes);

    bool Valid() const { return problem.empty(); }
    // What is wrong, in words (for example "chunk 0x4120 at byte 650 says 65535 faces but
    // holds room for 12"); empty for a sound file.
    const std::string& Problem() const { return problem; }

    // The checked copy for lib3ds (see above); empty unless Valid().
    const std::string& ReducedFile() const { return reduced; }
    // One name per triangle mesh, in file order (an object with several triangle meshes
    // gives its name to each); empty unless Valid().
    const std::vector<std::string>& MeshNames() const { return meshNames; }
    // One name per material in file order (the last name chunk of each; empty without one).
    const std::vector<std::string>& MaterialNames() const { return materialNames; }

private:
    std::string problem;
    std::string reduced;
    std::vector<std::string> meshNames;
    std::vector<std::string> materialNames;
};

#endif
