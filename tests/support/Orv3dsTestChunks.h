#ifndef ORV_TESTS_SUPPORT_ORV3DSTESTCHUNKS_H
#define ORV_TESTS_SUPPORT_ORV3DSTESTCHUNKS_H

// A plain list of the chunks of a sound 3DS file, for tests that damage one chunk on purpose
// and for checking the order of names independently of the engine. It descends into the
// chunks that hold others (scene, materials and their colours, percentages and maps,
// objects, meshes, face lists, key-framer and its nodes) and trusts every length: give it
// only files known to be whole.

#include <cstdint>
#include <string>
#include <vector>

struct Orv3dsTestChunk {
    unsigned id;
    std::size_t start;   // where its header begins
    std::size_t length;  // as stored, header included
    std::size_t content; // where its data (after a leading name or count, if any) begins
    int depth;           // 0 for the outermost chunk
    std::string name;    // the leading name of objects, materials, map files, face materials
};

// Every chunk in file order.
std::vector<Orv3dsTestChunk> Orv3dsListChunks(const std::string& bytes);

// The first chunk with this id at or after position `after`; id 0 when there is none.
Orv3dsTestChunk Orv3dsFindChunk(const std::string& bytes, unsigned id, std::size_t after = 0);

// Little-endian writes into a file's bytes.
void Orv3dsPut16(std::string& bytes, std::size_t pos, unsigned value);
void Orv3dsPut32(std::string& bytes, std::size_t pos, uint32_t value);
unsigned Orv3dsGet16(const std::string& bytes, std::size_t pos);

#endif
