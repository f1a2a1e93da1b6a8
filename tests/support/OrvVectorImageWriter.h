#ifndef ORV_TESTS_SUPPORT_ORVVECTORIMAGEWRITER_H
#define ORV_TESTS_SUPPORT_ORVVECTORIMAGEWRITER_H

// Writes vector image files for tests, byte by byte in the file layout the engine reads:
// little-endian frame count, layer count, path counts per layer, segment counts per path,
// then per frame and layer the 9 header floats followed by 9 floats per segment of each path.
// The counts are taken from the first frame; every frame must have the same shape.
//
// Use:
//     OrvVectorImageWriter::Layer layer;
//     layer.header = {1, 0, 0, 1, 0, 0, 0, 0, 0};             // red
//     layer.paths.push_back({{0, 0, 10, 0, 20, 0, 30, 0, 4000}}); // one segment
//     std::string bytes = OrvVectorImageWriter::Bytes({{layer}, {layer}});

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class OrvVectorImageWriter {
public:
    typedef std::array<float, 9> Record; // a layer header or a segment
    typedef std::vector<Record> Path;
    struct Layer {
        Record header;
        std::vector<Path> paths;
    };
    typedef std::vector<Layer> Frame;

    static std::string Bytes(const std::vector<Frame>& frames);

    static void AppendU32(std::string& out, std::uint32_t value);
    static void AppendF32(std::string& out, float value);
};

#endif
