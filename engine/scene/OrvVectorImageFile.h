#ifndef ORV_SCENE_ORVVECTORIMAGEFILE_H
#define ORV_SCENE_ORVVECTORIMAGEFILE_H

// Reads a vector image file (".ovi") into plain data: filled shapes whose outlines are chains
// of cubic Bezier segments, given in several frames (poses) of the same shapes.
//
// File layout, little-endian, counts unsigned 32-bit, values 32-bit IEEE floats:
//   frame count F, layer count L,
//   L path counts (paths of layer 0, 1, ...),
//   one segment count per path (layer by layer, path by path),
//   then F frames, each: per layer its header (9 floats: red, green, blue, alpha and five
//   values nobody reads), followed by the segments of each of its paths (9 floats each:
//   x0 y0 x1 y1 x2 y2 x3 y3 density).
// The counts hold for every frame; only headers and segment values change between frames.
// Bytes after the last frame are ignored.
//
// How it is held: the shape (which paths belong to which layer, which segments to which path)
// once, and per frame two flat arrays in file order, the layer headers and all segments. So
// segment k of path p is at the same index in every frame, which is what morphing between two
// frames needs.
//
// Bounds, checked before anything is allocated from a count:
// - a file larger than MaxFileBytes is refused without reading it;
// - every count is checked against the bytes left in the file (64-bit sums, no wrap-around);
// - more than MaxFrames frames are refused: a file with no layers would otherwise ask for
//   billions of empty frames from a few bytes.
// So memory stays within the file's size plus a small amount per frame.
//
// Values that are drawn must be numbers OpenGL can take: a layer colour (red, green, blue,
// alpha) that is not finite, or a segment coordinate that is not a number within
// +-MaxCoordinate, refuses the file. The bound keeps blending two poses and sampling a curve
// (sums of a few products of coordinates) far from float's range, and is far beyond any
// picture. The density and the five unused values may be anything.
//
// Errors are OrvException: "Could not open file: " + name when the path is not a regular file
// that can be read; otherwise a message that starts "Vector image file too large: " or
// "Damaged vector image file: ", then the name, then in brackets what did not fit. `name` is
// the file name as the script wrote it; `path` is where it is read from. On error the object
// keeps what it held before.
//
// Called by the vector image object while it loads; never while drawing. Owns its data.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class OrvVectorImageFile {
public:
    // One cubic Bezier segment: start, first control point, second control point, end, in
    // pixels (x right, y down from the top-left corner), and the density that sets how many
    // points it is drawn with.
    struct Segment {
        float x0, y0, x1, y1, x2, y2, x3, y3;
        float density;
    };
    // A layer's fill colour and the five values stored with it that have no use.
    struct LayerHeader {
        float red, green, blue, alpha;
        float unused[5];
    };
    struct Frame {
        std::vector<LayerHeader> layers; // one per layer
        std::vector<Segment> segments;   // all segments, layer by layer, path by path
    };

    static constexpr std::size_t MaxFileBytes = 64u * 1024u * 1024u;
    static constexpr std::uint32_t MaxFrames = 65536;
    static constexpr float MaxCoordinate = 1e30f;

    OrvVectorImageFile();

    // Reads the file at `path`; raises OrvException (see above).
    void Load(const std::string& path, const std::string& name);
    // The same from bytes in memory (`name` is used in messages only).
    void Parse(const unsigned char* bytes, std::size_t size, const std::string& name);

    std::size_t FrameCount() const { return frames.size(); }
    const Frame& FrameAt(std::size_t index) const { return frames[index]; }

    std::size_t LayerCount() const { return firstPath.size() - 1; }
    // Paths of layer i are FirstPath(i) up to FirstPath(i + 1), excluded; i <= LayerCount().
    std::size_t FirstPath(std::size_t layer) const { return firstPath[layer]; }
    std::size_t PathCount() const { return firstSegment.size() - 1; }
    // Segments of path p are FirstSegment(p) up to FirstSegment(p + 1), excluded, in every
    // frame's segment array; p <= PathCount().
    std::size_t FirstSegment(std::size_t path) const { return firstSegment[path]; }
    // Segments per frame.
    std::size_t SegmentCount() const { return firstSegment.back(); }

private:
    std::vector<std::size_t> firstPath;    // LayerCount() + 1 entries
    std::vector<std::size_t> firstSegment; // PathCount() + 1 entries
    std::deque<Frame> frames;
};

#endif
