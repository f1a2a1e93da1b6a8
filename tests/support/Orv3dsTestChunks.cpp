#include "support/Orv3dsTestChunks.h"

#include <set>

namespace {

bool HoldsChunks(unsigned id) {
    static const std::set<unsigned> containers = {
        0x4D4D, 0x3DAA, 0xC23D, 0x3D3D, 0xAFFF, 0xA010, 0xA020, 0xA030, 0xA040, 0xA041, 0xA050,
        0xA052, 0xA053, 0xA084, 0xA200, 0xA204, 0xA210, 0xA220, 0xA230, 0xA33A, 0xA33C, 0x4000,
        0x4100, 0x4120, 0xB000, 0xB001, 0xB002, 0xB003, 0xB004, 0xB005, 0xB006, 0xB007};
    return containers.count(id) > 0;
}

bool HasName(unsigned id) {
    return id == 0x4000 || id == 0xA000 || id == 0xA300 || id == 0x4130;
}

uint32_t Get32(const std::string& bytes, std::size_t pos) {
    return Orv3dsGet16(bytes, pos) | uint32_t(Orv3dsGet16(bytes, pos + 2)) << 16;
}

void Walk(const std::string& bytes, std::size_t pos, std::size_t end, int depth,
          std::vector<Orv3dsTestChunk>& out) {
    while (pos + 6 <= end) {
        Orv3dsTestChunk chunk{
            Orv3dsGet16(bytes, pos), pos, Get32(bytes, pos + 2), pos + 6, depth, ""};
        if (chunk.length < 6)
            return;
        if (HasName(chunk.id)) {
            std::size_t zero = bytes.find('\0', chunk.content);
            if (zero == std::string::npos)
                return;
            chunk.name = bytes.substr(chunk.content, zero - chunk.content);
            chunk.content = zero + 1;
        }
        if (chunk.id == 0x4120)
            chunk.content += 2 + 8 * Orv3dsGet16(bytes, chunk.content);
        out.push_back(chunk);
        std::size_t chunkEnd = pos + chunk.length;
        if (HoldsChunks(chunk.id))
            Walk(bytes, chunk.content, chunkEnd < end ? chunkEnd : end, depth + 1, out);
        pos = chunkEnd;
    }
}

} // namespace

std::vector<Orv3dsTestChunk> Orv3dsListChunks(const std::string& bytes) {
    std::vector<Orv3dsTestChunk> chunks;
    Walk(bytes, 0, bytes.size(), 0, chunks);
    return chunks;
}

Orv3dsTestChunk Orv3dsFindChunk(const std::string& bytes, unsigned id, std::size_t after) {
    for (const Orv3dsTestChunk& chunk : Orv3dsListChunks(bytes))
        if (chunk.id == id && chunk.start >= after)
            return chunk;
    return Orv3dsTestChunk{0, 0, 0, 0, 0, ""};
}

void Orv3dsPut16(std::string& bytes, std::size_t pos, unsigned value) {
    bytes[pos] = char(value & 0xFF);
    bytes[pos + 1] = char((value >> 8) & 0xFF);
}

void Orv3dsPut32(std::string& bytes, std::size_t pos, uint32_t value) {
    Orv3dsPut16(bytes, pos, value & 0xFFFF);
    Orv3dsPut16(bytes, pos + 2, value >> 16);
}

unsigned Orv3dsGet16(const std::string& bytes, std::size_t pos) {
    return static_cast<unsigned char>(bytes[pos]) | static_cast<unsigned char>(bytes[pos + 1]) << 8;
}
