#include "support/OrvVectorImageWriter.h"

#include <cstring>

void OrvVectorImageWriter::AppendU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void OrvVectorImageWriter::AppendF32(std::string& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendU32(out, bits);
}

std::string OrvVectorImageWriter::Bytes(const std::vector<Frame>& frames) {
    std::string out;
    AppendU32(out, static_cast<std::uint32_t>(frames.size()));
    const Frame empty;
    const Frame& shape = frames.empty() ? empty : frames[0];
    AppendU32(out, static_cast<std::uint32_t>(shape.size()));
    for (const Layer& layer : shape)
        AppendU32(out, static_cast<std::uint32_t>(layer.paths.size()));
    for (const Layer& layer : shape)
        for (const Path& path : layer.paths)
            AppendU32(out, static_cast<std::uint32_t>(path.size()));
    for (const Frame& frame : frames)
        for (const Layer& layer : frame) {
            for (float value : layer.header)
                AppendF32(out, value);
            for (const Path& path : layer.paths)
                for (const Record& segment : path)
                    for (float value : segment)
                        AppendF32(out, value);
        }
    return out;
}
