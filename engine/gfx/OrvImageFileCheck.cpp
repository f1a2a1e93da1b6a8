#include "gfx/OrvImageFileCheck.h"

#include <cstdint>
#include <cstring>

namespace {

// The file's bytes with reads that never leave them. Positions and counts are 64-bit, so
// lengths read from a file (up to 2^32) cannot wrap around when added up.
class Bytes {
public:
    explicit Bytes(const std::string& bytes) : data(bytes) {}

    uint64_t Size() const { return data.size(); }
    bool Has(uint64_t pos, uint64_t count) const {
        return pos <= data.size() && count <= data.size() - pos;
    }
    // Callers make sure with Has() first; outside the file every byte reads as 0.
    unsigned At(uint64_t pos) const {
        return pos < data.size() ? static_cast<unsigned char>(data[pos]) : 0u;
    }
    unsigned Be16(uint64_t pos) const { return At(pos) << 8 | At(pos + 1); }
    uint32_t Be32(uint64_t pos) const { return uint32_t(Be16(pos)) << 16 | Be16(pos + 2); }
    unsigned Le16(uint64_t pos) const { return At(pos) | At(pos + 1) << 8; }
    uint32_t Le32(uint64_t pos) const { return Le16(pos) | uint32_t(Le16(pos + 2)) << 16; }
    bool StartsWith(const char* prefix, uint64_t length) const {
        return Has(0, length) && std::memcmp(data.data(), prefix, length) == 0;
    }

private:
    const std::string& data;
};

bool SideFits(int64_t side) {
    return side >= 1 && side <= OrvImageFileCheck::MaxSide;
}

bool IsLetter(unsigned c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool CheckPng(const Bytes& b) {
    uint64_t pos = 8; // after the signature
    bool first = true;
    bool sawData = false;
    for (;;) {
        if (!b.Has(pos, 8))
            return false;
        uint64_t length = b.Be32(pos);
        if (length > 0x7FFFFFFFu) // the format's own limit
            return false;
        if (!b.Has(pos + 8, length + 4)) // data and CRC
            return false;
        char type[5] = {char(b.At(pos + 4)), char(b.At(pos + 5)), char(b.At(pos + 6)),
                        char(b.At(pos + 7)), 0};
        for (int i = 0; i < 4; ++i)
            if (!IsLetter(static_cast<unsigned char>(type[i])))
                return false;
        if (first) {
            if (std::strcmp(type, "IHDR") != 0 || length != 13)
                return false;
            if (!SideFits(b.Be32(pos + 8)) || !SideFits(b.Be32(pos + 12)))
                return false;
            first = false;
        }
        if (std::strcmp(type, "IDAT") == 0)
            sawData = true;
        if (std::strcmp(type, "IEND") == 0)
            return sawData;
        pos += 12 + length;
    }
}

// Entropy-coded data runs until a marker other than a stuffed zero, a restart marker or a
// fill byte; returns the position of that marker's 0xFF, or the file size when there is none.
uint64_t SkipJpegScan(const Bytes& b, uint64_t pos) {
    while (pos < b.Size()) {
        if (b.At(pos) != 0xFF) {
            ++pos;
            continue;
        }
        if (!b.Has(pos, 2))
            return b.Size();
        unsigned next = b.At(pos + 1);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
            pos += 2;
        else if (next == 0xFF)
            ++pos;
        else
            return pos;
    }
    return b.Size();
}

bool IsJpegFrameMarker(unsigned marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool CheckJpeg(const Bytes& b) {
    uint64_t pos = 2; // after SOI
    bool sawFrame = false;
    bool sawScan = false;
    for (;;) {
        if (!b.Has(pos, 2) || b.At(pos) != 0xFF)
            return false;
        while (b.Has(pos, 2) && b.At(pos + 1) == 0xFF) // fill bytes before a marker
            ++pos;
        if (!b.Has(pos, 2))
            return false;
        unsigned marker = b.At(pos + 1);
        pos += 2;
        if (marker == 0xD9) // EOI
            return sawFrame && sawScan;
        if (marker == 0xD8 || marker == 0x00)
            return false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a segment
        if (!b.Has(pos, 2))
            return false;
        uint64_t length = b.Be16(pos);
        if (length < 2 || !b.Has(pos, length))
            return false;
        if (IsJpegFrameMarker(marker)) {
            if (length < 8 || !SideFits(b.Be16(pos + 3)) || !SideFits(b.Be16(pos + 5)))
                return false;
            sawFrame = true;
        }
        pos += length;
        if (marker == 0xDA) { // SOS: the scan's data follows its header
            if (!sawFrame)
                return false;
            sawScan = true;
            pos = SkipJpegScan(b, pos);
        }
    }
}

bool SkipGifSubBlocks(const Bytes& b, uint64_t& pos) {
    for (;;) {
        if (!b.Has(pos, 1))
            return false;
        uint64_t size = b.At(pos);
        ++pos;
        if (size == 0)
            return true;
        if (!b.Has(pos, size))
            return false;
        pos += size;
    }
}

bool CheckGif(const Bytes& b) {
    if (!b.Has(0, 13) || !SideFits(b.Le16(6)) || !SideFits(b.Le16(8)))
        return false;
    uint64_t pos = 13;
    unsigned flags = b.At(10);
    if (flags & 0x80)
        pos += 3u << ((flags & 7) + 1); // global colour table
    bool sawImage = false;
    for (;;) {
        if (!b.Has(pos, 1))
            return false;
        unsigned block = b.At(pos);
        ++pos;
        if (block == 0x3B) // trailer
            return sawImage;
        if (block == 0x21) { // extension: label, then sub-blocks
            ++pos;
            if (!SkipGifSubBlocks(b, pos))
                return false;
        } else if (block == 0x2C) { // image descriptor
            if (!b.Has(pos, 9) || !SideFits(b.Le16(pos + 4)) || !SideFits(b.Le16(pos + 6)))
                return false;
            unsigned imageFlags = b.At(pos + 8);
            pos += 9;
            if (imageFlags & 0x80)
                pos += 3u << ((imageFlags & 7) + 1); // local colour table
            ++pos;                                   // LZW minimum code size
            if (!SkipGifSubBlocks(b, pos))
                return false;
            sawImage = true;
        } else {
            return false;
        }
    }
}

// RLE8 and RLE4 streams: pairs of (count, value), or an escape (0, code): 0 ends a line,
// 1 ends the bitmap, 2 moves by two following bytes, 3 and up are that many literal pixels
// padded to an even byte count.
bool CheckBmpRunLengths(const Bytes& b, uint64_t pos, bool fourBit) {
    for (;;) {
        if (!b.Has(pos, 2))
            return false;
        unsigned count = b.At(pos);
        unsigned code = b.At(pos + 1);
        pos += 2;
        if (count != 0 || code == 0)
            continue;
        if (code == 1)
            return true;
        if (code == 2) {
            pos += 2;
            continue;
        }
        uint64_t literal = fourBit ? (code + 1) / 2 : code;
        pos += literal + (literal & 1);
        if (pos > b.Size())
            return false;
    }
}

bool CheckBmp(const Bytes& b) {
    if (!b.Has(0, 18))
        return false;
    uint64_t pixelOffset = b.Le32(10);
    uint64_t headerSize = b.Le32(14);
    int64_t width, height;
    unsigned bitDepth;
    uint32_t compression = 0;
    if (headerSize == 12) { // OS/2 core header
        if (!b.Has(14, 12))
            return false;
        width = b.Le16(18);
        height = static_cast<int16_t>(b.Le16(20));
        bitDepth = b.Le16(24);
    } else if (headerSize >= 40) {
        if (!b.Has(14, headerSize))
            return false;
        width = static_cast<int32_t>(b.Le32(18));
        height = static_cast<int32_t>(b.Le32(22));
        bitDepth = b.Le16(28);
        compression = b.Le32(30);
    } else {
        return false;
    }
    if (height < 0)
        height = -height; // rows stored top-down
    if (!SideFits(width) || !SideFits(height))
        return false;
    if (bitDepth != 1 && bitDepth != 4 && bitDepth != 8 && bitDepth != 16 && bitDepth != 24 &&
        bitDepth != 32)
        return false;
    if (pixelOffset < 14 + headerSize || pixelOffset >= b.Size())
        return false;
    if (compression == 1 && bitDepth == 8)
        return CheckBmpRunLengths(b, pixelOffset, false);
    if (compression == 2 && bitDepth == 4)
        return CheckBmpRunLengths(b, pixelOffset, true);
    if (compression != 0 && compression != 3)
        return false;
    uint64_t rowBytes = (uint64_t(width) * bitDepth + 31) / 32 * 4;
    return b.Has(pixelOffset, rowBytes * uint64_t(height));
}

// Each packet is a header byte (top bit: repeat; low 7 bits: count - 1) followed by one pixel
// to repeat or count literal pixels.
bool CheckTgaRunLengths(const Bytes& b, uint64_t pos, uint64_t pixels, uint64_t pixelBytes) {
    uint64_t done = 0;
    while (done < pixels) {
        if (!b.Has(pos, 1))
            return false;
        unsigned header = b.At(pos);
        ++pos;
        uint64_t count = (header & 0x7F) + 1;
        uint64_t dataBytes = (header & 0x80) ? pixelBytes : count * pixelBytes;
        if (!b.Has(pos, dataBytes))
            return false;
        pos += dataBytes;
        done += count;
    }
    return true;
}

bool CheckTga(const Bytes& b) {
    if (!b.Has(0, 18))
        return false;
    unsigned idLength = b.At(0);
    unsigned mapType = b.At(1);
    unsigned imageType = b.At(2);
    unsigned mapLength = b.Le16(5);
    unsigned mapEntryBits = b.At(7);
    int64_t width = b.Le16(12);
    int64_t height = b.Le16(14);
    unsigned bitDepth = b.At(16);
    if (mapType > 1 || !SideFits(width) || !SideFits(height))
        return false;
    // 1 colour-mapped, 2 truecolor, 3 grey; 9, 10 and 11 the same run-length encoded.
    if (imageType != 1 && imageType != 2 && imageType != 3 && imageType != 9 && imageType != 10 &&
        imageType != 11)
        return false;
    if (bitDepth != 8 && bitDepth != 15 && bitDepth != 16 && bitDepth != 24 && bitDepth != 32)
        return false;
    uint64_t pos = 18 + idLength;
    if (mapType == 1)
        pos += uint64_t(mapLength) * ((mapEntryBits + 7) / 8);
    uint64_t pixels = uint64_t(width) * uint64_t(height);
    uint64_t pixelBytes = (bitDepth + 7) / 8;
    if (imageType & 8)
        return CheckTgaRunLengths(b, pos, pixels, pixelBytes);
    return b.Has(pos, pixels * pixelBytes);
}

bool HasTgaExtension(const std::string& fileName) {
    std::string::size_type dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.size() - dot != 4)
        return false;
    const char* expected = "tga";
    for (int i = 0; i < 3; ++i) {
        char c = fileName[dot + 1 + i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != expected[i])
            return false;
    }
    return true;
}

} // namespace

OrvImageFileCheck::OrvImageFileCheck(const std::string& content, const std::string& fileName)
    : format(FormatUnknown), complete(false) {
    Bytes b(content);
    if (b.StartsWith("\x89PNG\r\n\x1a\n", 8)) {
        format = FormatPng;
        complete = CheckPng(b);
    } else if (b.StartsWith("\xff\xd8", 2)) {
        format = FormatJpeg;
        complete = CheckJpeg(b);
    } else if (b.StartsWith("GIF87a", 6) || b.StartsWith("GIF89a", 6)) {
        format = FormatGif;
        complete = CheckGif(b);
    } else if (b.StartsWith("BM", 2)) {
        format = FormatBmp;
        complete = CheckBmp(b);
    } else if (HasTgaExtension(fileName)) {
        format = FormatTga;
        complete = CheckTga(b);
    }
}
