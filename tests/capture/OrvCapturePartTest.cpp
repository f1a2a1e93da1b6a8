// The pieces of a capture in parts that need no show: which frames and sample frames each part
// holds, the part.txt a part leaves and the join reads, and the join's check that parts make
// one whole capture.

#include "OrvCapturePart.h"
#include "OrvCaptureOptions.h"
#include "OrvCapturePartManifest.h"
#include "OrvCapturePartSet.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Fault = OrvCapturePartManifest::Fault;

OrvCapturePartManifest Manifest(unsigned k, unsigned n, unsigned fps = 20, int width = 80,
                                unsigned toMs = 2000) {
    OrvCapturePartManifest m;
    m.fpsNumerator = fps;
    m.fpsDenominator = 1;
    m.width = width;
    m.height = 60;
    m.toMs = toMs;
    std::string error;
    EXPECT_TRUE(OrvCapturePart::Of(k, n, 0, toMs, fps, 1, m.part, error)) << error;
    return m;
}

} // namespace

// For every rate and range, the parts cover the whole capture's frames and sample frames end
// to end, none twice, and each part's sound starts at its first frame's exact time.
TEST(OrvCapturePart, PartsAreTogetherExactlyTheWholeCapture) {
    struct Case {
        unsigned from, to, num, den, parts;
    };
    for (const Case& c : std::vector<Case>{{0, 2000, 20, 1, 3},
                                           {1500, 4350, 30000, 1001, 7},
                                           {0, 1000, 24, 1, 24},
                                           {250, 120000, 60, 1, 32},
                                           {0, 4294967295u, 1000, 1, 5},
                                           {0, 4294967295u, 999999, 1000000, 3}}) {
        SCOPED_TRACE(std::to_string(c.num) + "/" + std::to_string(c.den) + " to " +
                     std::to_string(c.to));
        uint64_t frames = 0, samples = 0, smallest = UINT64_MAX, largest = 0;
        for (unsigned k = 1; k <= c.parts; ++k) {
            OrvCapturePart part;
            std::string error;
            ASSERT_TRUE(OrvCapturePart::Of(k, c.parts, c.from, c.to, c.num, c.den, part, error))
                << error;
            EXPECT_EQ(frames, part.firstFrame) << k;
            EXPECT_EQ(samples, part.firstSample) << k;
            // The exact time of the first frame, first * den / num s, in sample frames.
            unsigned __int128 exact =
                static_cast<unsigned __int128>(part.firstFrame) * c.den * 44100 / c.num;
            EXPECT_EQ(static_cast<uint64_t>(exact), part.firstSample) << k;
            uint64_t size = part.endFrame - part.firstFrame;
            smallest = std::min(smallest, size);
            largest = std::max(largest, size);
            frames = part.endFrame;
            samples = part.endSample;
        }
        OrvCapturePart whole;
        std::string error;
        ASSERT_TRUE(OrvCapturePart::Of(1, 1, c.from, c.to, c.num, c.den, whole, error));
        EXPECT_EQ(whole.totalFrames, frames);
        EXPECT_EQ(whole.totalSamples, samples);
        EXPECT_LE(largest - smallest, 1u);
    }

    // More parts than frames: the empty ones say so instead of writing nothing.
    OrvCapturePart part;
    std::string error;
    EXPECT_FALSE(OrvCapturePart::Of(1, 5, 0, 200, 20, 1, part, error));
    EXPECT_NE(std::string::npos, error.find("has 4 frames")) << error;
}

// A part.txt reads back as it was written; anything else is refused with its line and kind.
TEST(OrvCapturePart, ManifestReadsBackAndRefusesWhatCaptureDidNotWrite) {
    OrvCapturePartManifest written = Manifest(2, 3);
    std::string text = written.Text();
    OrvCapturePartManifest read;
    OrvCapturePartManifest::Error error;
    ASSERT_TRUE(OrvCapturePartManifest::Parse(text, read, error)) << error.message;
    EXPECT_EQ(text, read.Text());
    EXPECT_TRUE(read.SameCapture(written));

    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string changed = text;
        size_t at = changed.find(from);
        EXPECT_NE(std::string::npos, at) << from;
        return at == std::string::npos ? changed : changed.replace(at, from.size(), to);
    };
    struct Case {
        std::string text;
        int line;
        Fault kind;
    };
    for (const Case& c : std::vector<Case>{
             {std::string(OrvCapturePartManifest::MaxBytes + 1, '\n'), 0, Fault::TooLong},
             {text.substr(0, text.size() - 1), 8, Fault::BadLine},
             {replaced("orvanta-capture-part 1\n", ""), 1, Fault::BadLine},
             {replaced("orvanta-capture-part 1", "orvanta-capture-part 2"), 1, Fault::BadValue},
             {replaced("size 80x60\n", "size 80x60\nsize 80x60\n"), 5, Fault::Repeated},
             {replaced("to 2000\n", ""), 0, Fault::Missing},
             {replaced("to 2000", "tempo 2000"), 6, Fault::BadLine},
             {replaced("part 2/3", "part 4/3"), 2, Fault::BadValue},
             {replaced("part 2/3", "part 2/-3"), 2, Fault::BadValue},
             {replaced("fps 20/1", "fps 20"), 3, Fault::BadValue},
             {replaced("size 80x60", "size 0x60"), 4, Fault::BadValue},
             {replaced("from 0", "from 99999999999"), 5, Fault::BadValue},
             {replaced("frames 13 26 40", "frames 13 26"), 7, Fault::BadValue},
             {replaced("frames 13 26 40", "frames 13  26 40"), 7, Fault::BadValue},
             {replaced("frames 13 26 40", "frames 13 27 40"), 0, Fault::Mismatch},
             {replaced("samples 28665", "samples 28664"), 0, Fault::Mismatch},
             {replaced("to 2000", "to 0"), 0, Fault::Mismatch},
         }) {
        SCOPED_TRACE(c.text);
        OrvCapturePartManifest out;
        EXPECT_FALSE(OrvCapturePartManifest::Parse(c.text, out, error));
        EXPECT_EQ(c.line, error.line) << error.message;
        EXPECT_EQ(static_cast<int>(c.kind), static_cast<int>(error.kind)) << error.message;
        EXPECT_FALSE(error.message.empty());
    }
}

// Only parts that make one whole capture pass, in any order; the message names the folders.
TEST(OrvCapturePart, SetAcceptsOnlyOneWholeCaptureAndNamesTheFoldersAtFault) {
    struct Case {
        std::vector<std::pair<std::string, OrvCapturePartManifest>> parts;
        std::string message; // empty: accepted
    };
    for (const Case& c : std::vector<Case>{
             {{{"c", Manifest(3, 3)}, {"a", Manifest(1, 3)}, {"b", Manifest(2, 3)}}, ""},
             {{{"a", Manifest(1, 1)}}, ""},
             {{{"a", Manifest(1, 3)}, {"c", Manifest(3, 3)}}, "part 2 of 3 is missing"},
             {{{"b", Manifest(2, 4)}}, "of the 4 parts, 1, 3, 4 are missing"},
             {{{"a", Manifest(1, 2)}, {"b", Manifest(2, 2)}, {"b2", Manifest(2, 2)}},
              "part 2/2 is given twice: b and b2"},
             {{{"a", Manifest(1, 2)}, {"b", Manifest(2, 2, 30)}},
              "b is of another capture (2 parts at 30/1 fps"},
             {{{"a", Manifest(1, 2)}, {"b", Manifest(2, 2, 20, 82)}}, "b is of another capture"},
             {{{"a", Manifest(1, 2)}, {"b", Manifest(2, 2, 20, 80, 3000)}},
              "b is of another capture"},
             {{{"a", Manifest(1, 2)}, {"b", Manifest(2, 3)}}, "b is of another capture"},
             {{}, "needs the folders"},
         }) {
        OrvCapturePartSet set;
        std::string names;
        for (const auto& part : c.parts) {
            set.Add(part.first, part.second);
            names += part.first + " ";
        }
        SCOPED_TRACE(names);
        std::string error;
        EXPECT_EQ(c.message.empty(), set.Check(error)) << error;
        if (!c.message.empty()) {
            EXPECT_NE(std::string::npos, error.find(c.message)) << error;
            continue;
        }
        unsigned expected = 1;
        for (const auto& part : set.Ordered())
            EXPECT_EQ(expected++, part.second.part.index);
    }
}

// --part and --join and what they may not come with, in the existing options' words.
TEST(OrvCapturePart, OptionsTakePartsAndJoinsAndRefuseWhatDoesNotGoWithThem) {
    struct Case {
        std::vector<const char*> words;
        std::string error; // empty: accepted
    };
    for (const Case& c : std::vector<Case>{
             {{"--part", "3/8"}, ""},
             {{"--part=1/1", "--fps", "30"}, ""},
             {{"--join", "a", "b", "--video", "v.mp4", "--bitrate", "8"}, ""},
             {{"--part", "0/3"}, "bad value \"0/3\" for --part"},
             {{"--part", "4/3"}, "bad value \"4/3\" for --part"},
             {{"--part", "3"}, "bad value \"3\" for --part"},
             {{"--part", "1/100001"}, "bad value \"1/100001\" for --part"},
             {{"--part", "2/4", "--video", "v.mp4"}, "leave out --video"},
             {{"--join", "--video", "v.mp4"}, "--join needs the parts' folders"},
             {{"--join", "a"}, "give --video FILE too"},
             {{"--join", "a", "--video", "v.mp4", "--fps", "30"}, "leave out --fps"},
             {{"--join", "a", "--size=8x8", "--video", "v.mp4"}, "leave out --size"},
         }) {
        std::vector<const char*> words = c.words;
        words.insert(words.begin(), "Capture");
        OrvCaptureOptions options;
        std::string error;
        bool parsed = options.Parse(static_cast<int>(words.size()), words.data(), error);
        EXPECT_EQ(c.error.empty(), parsed) << words[1] << ": " << error;
        if (!c.error.empty()) {
            EXPECT_NE(std::string::npos, error.find(c.error)) << words[1] << ": " << error;
        }
    }
    OrvCaptureOptions options;
    std::vector<const char*> words = {"Capture", "--join", "x", "y", "--video", "v.mp4"};
    std::string error;
    ASSERT_TRUE(options.Parse(6, words.data(), error)) << error;
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), options.joinFolders);
}
