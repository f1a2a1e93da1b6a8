#include "scene/OrvVectorImageFile.h"

#include "base/OrvException.h"
#include "base/OrvWholeFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const std::uint64_t FloatsPerRecord = 9; // a layer header and a segment alike
const std::uint64_t RecordBytes = FloatsPerRecord * 4;

// Reads the bytes front to back. Callers make sure with Require() that a group of reads fits
// before they make it, so no read leaves the bytes.
class Cursor {
public:
    Cursor(const unsigned char* bytes, std::size_t size, const std::string& name)
        : bytes(bytes), size(size), pos(0), name(name) {}

    std::uint64_t Left() const { return size - pos; }

    // Raises the damaged-file error unless `count` more bytes are there for `what`.
    void Require(std::uint64_t count, const std::string& what) const {
        if (count > Left())
            throw OrvException("Damaged vector image file: " + name + " (" + what + " need " +
                               std::to_string(count) + " bytes, " + std::to_string(Left()) +
                               " are left)");
    }

    std::uint32_t U32() {
        const unsigned char* b = bytes + pos;
        pos += 4;
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
               std::uint32_t(b[3]) << 24;
    }

    float F32() {
        std::uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const unsigned char* bytes;
    std::uint64_t size;
    std::uint64_t pos;
    const std::string& name;
};

// True when every coordinate of the segment is a number within +-MaxCoordinate (NaN fails).
bool Drawable(const OrvVectorImageFile::Segment& s) {
    const float coordinates[8] = {s.x0, s.y0, s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
    for (float value : coordinates)
        if (!(std::fabs(value) <= OrvVectorImageFile::MaxCoordinate))
            return false;
    return true;
}

std::string ShortNumber(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(value));
    return text;
}

std::string Count(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

OrvVectorImageFile::OrvVectorImageFile() : firstPath(1, 0), firstSegment(1, 0) {}

void OrvVectorImageFile::Load(const std::string& path, const std::string& name) {
    std::string bytes;
    std::uint64_t size;
    switch (OrvWholeFile::Load(path, MaxFileBytes, bytes, size)) {
    case OrvWholeFile::Read:
        break;
    case OrvWholeFile::TooLarge:
        throw OrvException("Vector image file too large: " + name + " (" + std::to_string(size) +
                           " bytes, at most " + std::to_string(MaxFileBytes) + ")");
    case OrvWholeFile::Unreadable:
        throw OrvException("Could not open file: " + name);
    }
    Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), name);
}

void OrvVectorImageFile::Parse(const unsigned char* bytes, std::size_t size,
                               const std::string& name) {
    if (size > MaxFileBytes)
        throw OrvException("Vector image file too large: " + name + " (" + std::to_string(size) +
                           " bytes, at most " + std::to_string(MaxFileBytes) + ")");
    Cursor in(bytes, size, name);
    in.Require(8, "the frame and layer counts");
    std::uint32_t frameCount = in.U32();
    std::uint32_t layerCount = in.U32();
    if (frameCount > MaxFrames)
        throw OrvException("Damaged vector image file: " + name + " (" +
                           Count(frameCount, "frame", "frames") + ", at most " +
                           std::to_string(MaxFrames) + ")");

    in.Require(std::uint64_t(layerCount) * 4,
               "the path counts of " + Count(layerCount, "layer", "layers"));
    std::vector<std::size_t> newFirstPath(std::size_t(layerCount) + 1, 0);
    // Fewer than 2^24 layers fit in the largest file, each with fewer than 2^32 paths: the sum
    // stays below 2^56, and so do the sums below.
    std::uint64_t pathCount = 0;
    for (std::uint32_t i = 0; i < layerCount; ++i) {
        pathCount += in.U32();
        newFirstPath[i + 1] = static_cast<std::size_t>(pathCount);
    }

    in.Require(pathCount * 4, "the segment counts of " + Count(pathCount, "path", "paths"));
    std::vector<std::size_t> newFirstSegment(static_cast<std::size_t>(pathCount) + 1, 0);
    std::uint64_t segmentCount = 0;
    for (std::uint64_t i = 0; i < pathCount; ++i) {
        segmentCount += in.U32();
        newFirstSegment[i + 1] = static_cast<std::size_t>(segmentCount);
    }

    // Below 2^62: the counts are below 2^24 and 2^56.
    std::uint64_t frameBytes = (std::uint64_t(layerCount) + segmentCount) * RecordBytes;
    if (frameBytes != 0 && frameCount > in.Left() / frameBytes)
        throw OrvException("Damaged vector image file: " + name + " (" +
                           Count(frameCount, "frame", "frames") + " of " +
                           std::to_string(frameBytes) + " bytes need more than the " +
                           std::to_string(in.Left()) + " bytes left)");

    // All frames fit in what is left, so the reads below need no further checks.
    std::deque<Frame> newFrames(frameCount);
    for (Frame& frame : newFrames) {
        frame.layers.resize(layerCount);
        frame.segments.resize(static_cast<std::size_t>(segmentCount));
        for (std::uint32_t layer = 0; layer < layerCount; ++layer) {
            LayerHeader& header = frame.layers[layer];
            header.red = in.F32();
            header.green = in.F32();
            header.blue = in.F32();
            header.alpha = in.F32();
            for (float& value : header.unused)
                value = in.F32();
            if (!(std::isfinite(header.red) && std::isfinite(header.green) &&
                  std::isfinite(header.blue) && std::isfinite(header.alpha)))
                throw OrvException("Damaged vector image file: " + name + " (layer " +
                                   std::to_string(layer) + " of frame " +
                                   std::to_string(&frame - &newFrames[0]) +
                                   " has a colour that is not a finite number)");
            std::size_t first = newFirstSegment[newFirstPath[layer]];
            std::size_t end = newFirstSegment[newFirstPath[layer + 1]];
            for (std::size_t k = first; k < end; ++k) {
                Segment& s = frame.segments[k];
                s.x0 = in.F32();
                s.y0 = in.F32();
                s.x1 = in.F32();
                s.y1 = in.F32();
                s.x2 = in.F32();
                s.y2 = in.F32();
                s.x3 = in.F32();
                s.y3 = in.F32();
                s.density = in.F32();
                if (!Drawable(s))
                    throw OrvException("Damaged vector image file: " + name + " (segment " +
                                       std::to_string(k) + " of frame " +
                                       std::to_string(&frame - &newFrames[0]) +
                                       " has a point that is not a number within +-" +
                                       ShortNumber(MaxCoordinate) + ")");
            }
        }
    }

    firstPath.swap(newFirstPath);
    firstSegment.swap(newFirstSegment);
    frames.swap(newFrames);
}
