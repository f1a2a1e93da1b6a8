#include "OrvPngEncoder.h"

#include <algorithm>
#include <cstring>
#include <libdeflate.h>

namespace {

const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t ChunkOverhead = 12; // length, type, CRC

void PutBigEndian(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

} // namespace

OrvPngEncoder::OrvPngEncoder(int width, int height, int level, Filter filter)
    : width(width), height(height), filter(filter), compressor(libdeflate_alloc_compressor(level)),
      size(0) {
    size_t rowBytes = 1 + 3 * static_cast<size_t>(width);
    filtered.assign(rowBytes * static_cast<size_t>(height), 0);
    previous.assign(rowBytes, 0);
    size_t bound = compressor ? libdeflate_zlib_compress_bound(compressor, filtered.size()) : 0;
    output.assign(sizeof Signature + (ChunkOverhead + 13) + (ChunkOverhead + bound) + ChunkOverhead,
                  0);
}

OrvPngEncoder::~OrvPngEncoder() {
    libdeflate_free_compressor(compressor);
}

void OrvPngEncoder::PutChunkHeader(size_t at, uint32_t length, const char* type) {
    PutBigEndian(&output[at], length);
    std::memcpy(&output[at + 4], type, 4);
}

size_t OrvPngEncoder::PutChunkEnd(size_t typeAt, size_t dataEnd) {
    // The CRC covers the type and the data.
    PutBigEndian(&output[dataEnd], libdeflate_crc32(0, &output[typeAt], dataEnd - typeAt));
    return dataEnd + 4;
}

void OrvPngEncoder::FilterRow(const uint8_t* source, PixelOrder order, uint8_t* row) {
    int red = order == Rgba ? 0 : 2;
    int blue = 2 - red;
    uint8_t* rgb = row + 1;
    row[0] = static_cast<uint8_t>(filter);
    if (filter == FilterNone) {
        for (int x = 0; x < width; ++x, source += 4, rgb += 3) {
            rgb[0] = source[red];
            rgb[1] = source[1];
            rgb[2] = source[blue];
        }
    } else if (filter == FilterSub) {
        uint8_t r = 0, g = 0, b = 0; // the byte left of the first pixel counts as 0
        for (int x = 0; x < width; ++x, source += 4, rgb += 3) {
            rgb[0] = static_cast<uint8_t>(source[red] - r);
            rgb[1] = static_cast<uint8_t>(source[1] - g);
            rgb[2] = static_cast<uint8_t>(source[blue] - b);
            r = source[red];
            g = source[1];
            b = source[blue];
        }
    } else {
        uint8_t* above = previous.data() + 1; // zeros above the first row
        for (int x = 0; x < width; ++x, source += 4, rgb += 3, above += 3) {
            uint8_t r = source[red], g = source[1], b = source[blue];
            rgb[0] = static_cast<uint8_t>(r - above[0]);
            rgb[1] = static_cast<uint8_t>(g - above[1]);
            rgb[2] = static_cast<uint8_t>(b - above[2]);
            above[0] = r;
            above[1] = g;
            above[2] = b;
        }
    }
}

bool OrvPngEncoder::Encode(const uint8_t* pixels, PixelOrder order) {
    size = 0;
    size_t at = 0;
    std::memcpy(&output[at], Signature, sizeof Signature);
    at += sizeof Signature;

    PutChunkHeader(at, 13, "IHDR");
    uint8_t* header = &output[at + 8];
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header + 4, static_cast<uint32_t>(height));
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB
    header[10] = 0; // deflate
    header[11] = 0; // adaptive filtering, one filter byte a row
    header[12] = 0; // no interlace
    at = PutChunkEnd(at + 4, at + 8 + 13);

    size_t idat = at;
    size_t dataStart = idat + 8;
    size_t room = output.size() - dataStart - 4 - ChunkOverhead;
    std::fill(previous.begin(), previous.end(), 0);
    size_t stride = 4 * static_cast<size_t>(width);
    size_t rowBytes = 1 + 3 * static_cast<size_t>(width);
    for (int y = 0; y < height; ++y)
        FilterRow(pixels + stride * static_cast<size_t>(height - 1 - y), order,
                  &filtered[rowBytes * static_cast<size_t>(y)]);
    if (!compressor)
        return false;
    // The output has room for the bound, so this never runs out of space.
    size_t compressed = libdeflate_zlib_compress(compressor, filtered.data(), filtered.size(),
                                                 &output[dataStart], room);
    if (compressed == 0)
        return false;
    size_t dataEnd = dataStart + compressed;
    PutChunkHeader(idat, static_cast<uint32_t>(compressed), "IDAT");
    at = PutChunkEnd(idat + 4, dataEnd);

    PutChunkHeader(at, 0, "IEND");
    at = PutChunkEnd(at + 4, at + 8);
    size = at;
    return true;
}
