// Reading vector image files: every value lands where the file layout puts it, and damaged,
// cut or oversized files fail with a message naming the file instead of crashing, hanging or
// allocating what their counts ask for.

#include "scene/OrvVectorImageFile.h"

#include "base/OrvException.h"
#include "support/OrvTestFolder.h"
#include "support/OrvVectorImageWriter.h"

#include <gtest/gtest.h>

#include <cmath>

#include <random>
#include <unistd.h>

namespace {

typedef OrvVectorImageWriter Writer;

// A value that tells where it belongs: frame, layer, path, segment (9 for the header), field.
float Tag(int frame, int layer, int path, int segment, int field) {
    return float(frame * 10000 + layer * 1000 + path * 100 + segment * 10 + field);
}

// Layer 0: paths of 2 and 1 segments; layer 1: one empty path; layer 2: no path; layer 3: one
// path of 3 segments.
const std::vector<std::vector<int>> kShape = {{2, 1}, {0}, {}, {3}};

std::vector<Writer::Frame> TaggedFrames(int count) {
    std::vector<Writer::Frame> frames;
    for (int f = 0; f < count; ++f) {
        Writer::Frame frame;
        for (int l = 0; l < int(kShape.size()); ++l) {
            Writer::Layer layer;
            for (int i = 0; i < 9; ++i)
                layer.header[i] = Tag(f, l, 0, 9, i);
            for (int p = 0; p < int(kShape[l].size()); ++p) {
                Writer::Path path;
                for (int s = 0; s < kShape[l][p]; ++s) {
                    Writer::Record segment;
                    for (int i = 0; i < 9; ++i)
                        segment[i] = Tag(f, l, p, s, i);
                    path.push_back(segment);
                }
                layer.paths.push_back(path);
            }
            frame.push_back(layer);
        }
        frames.push_back(frame);
    }
    return frames;
}

void Parse(OrvVectorImageFile& file, const std::string& bytes, const std::string& name) {
    file.Parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), name);
}

// The message the bytes raise, or "(nothing raised)".
std::string ParseError(const std::string& bytes, const std::string& name = "logo.ovi") {
    OrvVectorImageFile file;
    try {
        Parse(file, bytes, name);
    } catch (const OrvException& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

std::string LoadError(const std::string& path, const std::string& name) {
    OrvVectorImageFile file;
    try {
        file.Load(path, name);
    } catch (const OrvException& error) {
        return error.Message();
    }
    return "(nothing raised)";
}

std::string Counts(std::vector<std::uint32_t> values) {
    std::string out;
    for (std::uint32_t value : values)
        Writer::AppendU32(out, value);
    return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST(OrvVectorImageFile, EveryValueLandsWhereTheLayoutPutsIt) {
    OrvTestFolder folder;
    // Bytes after the last frame are not part of the picture.
    std::string path = folder.WriteData("logo.ovi", Writer::Bytes(TaggedFrames(3)) + "extra");
    OrvVectorImageFile file;
    file.Load(path, "logo.ovi");

    ASSERT_EQ(3u, file.FrameCount());
    ASSERT_EQ(kShape.size(), file.LayerCount());
    EXPECT_EQ(4u, file.PathCount());
    EXPECT_EQ(6u, file.SegmentCount());
    for (int f = 0; f < 3; ++f) {
        const OrvVectorImageFile::Frame& frame = file.FrameAt(f);
        ASSERT_EQ(kShape.size(), frame.layers.size());
        ASSERT_EQ(6u, frame.segments.size());
        for (int l = 0; l < int(kShape.size()); ++l) {
            const OrvVectorImageFile::LayerHeader& h = frame.layers[l];
            EXPECT_EQ(Tag(f, l, 0, 9, 0), h.red);
            EXPECT_EQ(Tag(f, l, 0, 9, 1), h.green);
            EXPECT_EQ(Tag(f, l, 0, 9, 2), h.blue);
            EXPECT_EQ(Tag(f, l, 0, 9, 3), h.alpha);
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(Tag(f, l, 0, 9, 4 + i), h.unused[i]);
            ASSERT_EQ(kShape[l].size(), file.FirstPath(l + 1) - file.FirstPath(l)) << l;
            for (int p = 0; p < int(kShape[l].size()); ++p) {
                std::size_t path = file.FirstPath(l) + p;
                ASSERT_EQ(std::size_t(kShape[l][p]),
                          file.FirstSegment(path + 1) - file.FirstSegment(path));
                for (int s = 0; s < kShape[l][p]; ++s) {
                    const OrvVectorImageFile::Segment& g =
                        frame.segments[file.FirstSegment(path) + s];
                    const float values[9] = {g.x0, g.y0, g.x1, g.y1,     g.x2,
                                             g.y2, g.x3, g.y3, g.density};
                    for (int i = 0; i < 9; ++i)
                        EXPECT_EQ(Tag(f, l, p, s, i), values[i]) << f << l << p << s << i;
                }
            }
        }
    }

    // No frames and no layers is a file too; what to draw from it is for its user to decide.
    Parse(file, Counts({0, 0}), "empty.ovi");
    EXPECT_EQ(0u, file.FrameCount());
    EXPECT_EQ(0u, file.LayerCount());
    EXPECT_EQ(0u, file.PathCount());
}

TEST(OrvVectorImageFile, WhatCannotBeOpenedFailsWithTheNameAsWritten) {
    OrvTestFolder folder;
    EXPECT_EQ("Could not open file: missing.ovi",
              LoadError(folder.DataPath("missing.ovi"), "missing.ovi"));
    // A folder cannot be read as a file, and a pipe would never end.
    EXPECT_EQ("Could not open file: ../data", LoadError(folder.Root() + "/data", "../data"));
    std::string fifo = folder.DataPath("pipe.ovi");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    EXPECT_EQ("Could not open file: pipe.ovi", LoadError(fifo, "pipe.ovi"));
}

TEST(OrvVectorImageFile, ACutFileFailsAtEveryLengthAndKeepsWhatWasLoaded) {
    std::string whole = Writer::Bytes(TaggedFrames(2));
    OrvVectorImageFile file;
    Parse(file, whole, "logo.ovi");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        std::string cut = whole.substr(0, length);
        try {
            Parse(file, cut, "logo.ovi");
            ADD_FAILURE() << "a file cut to " << length << " bytes was read";
        } catch (const OrvException& error) {
            EXPECT_TRUE(StartsWith(error.Message(), "Damaged vector image file: logo.ovi ("))
                << error.Message();
        }
        // A failed read leaves the picture read before as it was.
        ASSERT_EQ(2u, file.FrameCount());
        ASSERT_EQ(4u, file.LayerCount());
        EXPECT_EQ(Tag(1, 3, 0, 2, 8), file.FrameAt(1).segments[5].density);
    }
    // Through a real file as well, with the numbers that did not fit.
    OrvTestFolder folder;
    std::string path = folder.WriteData("cut.ovi", whole.substr(0, 30));
    EXPECT_EQ("Damaged vector image file: cut.ovi (the segment counts of 4 paths need 16 bytes, "
              "6 are left)",
              LoadError(path, "cut.ovi"));
}

TEST(OrvVectorImageFile, CountsLargerThanTheDataFailBeforeAnythingIsAllocated) {
    // Each case would ask for gigabytes if a count were trusted.
    EXPECT_EQ("Damaged vector image file: big.ovi (the path counts of 4294967295 layers need "
              "17179869180 bytes, 0 are left)",
              ParseError(Counts({1, 0xFFFFFFFF}), "big.ovi"));
    EXPECT_EQ("Damaged vector image file: big.ovi (the segment counts of 8589934590 paths need "
              "34359738360 bytes, 0 are left)",
              ParseError(Counts({1, 2, 0xFFFFFFFF, 0xFFFFFFFF}), "big.ovi"));
    EXPECT_EQ("Damaged vector image file: big.ovi (1 frame of 154618822656 bytes need more than "
              "the 0 bytes left)",
              ParseError(Counts({1, 1, 1, 0xFFFFFFFF}), "big.ovi"));
    // Many frames of a small shape: the product of frames and frame size counts, not each.
    std::string shape = Counts({65536, 1, 1, 1});
    EXPECT_TRUE(StartsWith(ParseError(shape + std::string(72 * 4, '\0')),
                           "Damaged vector image file: logo.ovi (65536 frames of 72 bytes"));
    // Frames of nothing cost no bytes, so their number has a limit of its own.
    EXPECT_EQ("Damaged vector image file: logo.ovi (65537 frames, at most 65536)",
              ParseError(Counts({65537, 0})));
    EXPECT_EQ("Damaged vector image file: logo.ovi (4294967295 frames, at most 65536)",
              ParseError(Counts({0xFFFFFFFF, 0})));
    OrvVectorImageFile file;
    Parse(file, Counts({65536, 0}), "logo.ovi");
    EXPECT_EQ(65536u, file.FrameCount());
}

TEST(OrvVectorImageFile, AFileLargerThanTheLimitIsRefusedUnread) {
    OrvTestFolder folder;
    std::string path = folder.DataPath("huge.ovi");
    // Sparse: no disk is used, and the reader must not read it either.
    ASSERT_EQ(0, truncate(folder.WriteData("huge.ovi", "").c_str(),
                          off_t(OrvVectorImageFile::MaxFileBytes) + 1));
    EXPECT_EQ("Vector image file too large: huge.ovi (67108865 bytes, at most 67108864)",
              LoadError(path, "huge.ovi"));
    // Exactly the limit is read: here a valid header and zeros after it.
    ASSERT_EQ(0, truncate(path.c_str(), off_t(OrvVectorImageFile::MaxFileBytes)));
    EXPECT_EQ("(nothing raised)", LoadError(path, "huge.ovi"));
}

TEST(OrvVectorImageFile, AlteredBytesAreReadOrRefusedNeverTrusted) {
    const std::string whole = Writer::Bytes(TaggedFrames(2));
    std::mt19937 random(20240611u);
    int read = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = whole;
        int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i) {
            std::size_t at = random() % bytes.size();
            // Mostly in the counts, where damage matters most.
            if (random() % 2)
                at %= 40;
            bytes[at] = static_cast<char>(random() & 0xFF);
        }
        OrvVectorImageFile file;
        try {
            Parse(file, bytes, "logo.ovi");
        } catch (const OrvException& error) {
            EXPECT_TRUE(StartsWith(error.Message(), "Damaged vector image file: logo.ovi ("))
                << error.Message();
            ++refused;
            continue;
        }
        ++read;
        // What was read fits in the bytes that were there.
        std::uint64_t records = std::uint64_t(file.FrameCount()) *
                                (file.LayerCount() + std::uint64_t(file.SegmentCount()));
        EXPECT_LE(8 + 4 * (file.LayerCount() + file.PathCount()) + 36 * records, bytes.size());
        for (std::size_t f = 0; f < file.FrameCount(); ++f)
            EXPECT_EQ(file.SegmentCount(), file.FrameAt(f).segments.size());
    }
    // Both outcomes happened: the damage reached counts and values alike.
    EXPECT_GT(read, 100);
    EXPECT_GT(refused, 100);
}

// What drawing sends must be a number: layer colours that are not finite and coordinates that
// are not numbers within +-1e30 refuse the file; densities and the unused values may be
// anything (drawing bounds the one and never reads the others).
TEST(OrvVectorImageFile, ValuesThatDrawingCannotTakeAreRefused) {
    const float nan = std::nanf("");
    const float inf = HUGE_VALF;
    struct Case {
        int frame, layer, path, segment, field; // segment 9: the layer header
        float value;
        std::string problem; // empty: the file is read
    } cases[] = {
        {1, 3, 0, 1, 5, nan,
         "segment 4 of frame 1 has a point that is not a number within +-1e+30"},
        {0, 0, 1, 0, 0, -inf,
         "segment 2 of frame 0 has a point that is not a number within +-1e+30"},
        {0, 0, 0, 0, 7, 2e30f,
         "segment 0 of frame 0 has a point that is not a number within +-1e+30"},
        {0, 0, 0, 0, 7, -1e30f, ""},
        {0, 0, 0, 0, 8, nan, ""},
        {1, 0, 0, 0, 8, -inf, ""},
        {0, 1, 0, 9, 3, inf, "layer 1 of frame 0 has a colour that is not a finite number"},
        {1, 2, 0, 9, 0, nan, "layer 2 of frame 1 has a colour that is not a finite number"},
        {0, 0, 0, 9, 2, 1e38f, ""},
        {0, 0, 0, 9, 6, nan, ""},
    };
    for (const Case& c : cases) {
        std::vector<Writer::Frame> frames = TaggedFrames(2);
        Writer::Layer& layer = frames[c.frame][c.layer];
        (c.segment == 9 ? layer.header : layer.paths[c.path][c.segment])[c.field] = c.value;
        if (c.problem.empty())
            EXPECT_EQ("(nothing raised)", ParseError(Writer::Bytes(frames))) << c.value;
        else
            EXPECT_EQ("Damaged vector image file: logo.ovi (" + c.problem + ")",
                      ParseError(Writer::Bytes(frames)));
    }
}
