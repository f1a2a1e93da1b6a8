// Baked sync keys: what the editor's keys become as timeline text, that the text read back
// plays the very same values as the editor's tracks did, and the smooth and ramp items as a
// person types them.

#include "animation/OrvParameterManager.h"
#include "animation/OrvRecordingInterface.h"
#include "animation/OrvSyncRows.h"
#include "animation/OrvSyncTrackSource.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/OrvBakedSyncKeys.h"
#include "script/OrvSyncKeysWriter.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {
struct Parameters {
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager manager{diagnostics, random};
    OrvRecordingInterface object{{"a", "b", "c", "d"}};
    Parameters() { manager.AddInterface("obj", object); }
};

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

TEST(OrvSyncKeys, BakedKeysPlayTheEditorsValuesBitForBit) {
    std::mt19937 generator(18);
    for (double bpm : {120.0, 137.0}) {
        OrvSyncRows rows(bpm, bpm == 120.0 ? 8 : 6);
        Parameters live;
        OrvSyncTrackSource tracks;
        for (const char* name : {"obj.a", "obj.b", "obj.c", "obj.d"})
            tracks.AddTrack(name);
        tracks.Bind(&live.manager);
        std::uniform_int_distribution<unsigned> step(1, 40), type(0, 3);
        std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
        unsigned lastTime = 0;
        for (int track = 0; track < 3; ++track) { // obj.d keeps no keys
            for (unsigned row = step(generator) - 1; row < 1500; row += step(generator)) {
                tracks.Track(track).SetKey(row, rows.TimeOf(row), value(generator),
                                           static_cast<OrvSyncTrack::Type>(type(generator)));
                lastTime = std::max(lastTime, rows.TimeOf(row));
            }
        }
        int skipped = -1;
        std::string text = OrvSyncKeysWriter::Text(tracks, skipped);
        EXPECT_EQ(0, skipped);
        EXPECT_NE(std::string::npos, text.find(" obj.a = smooth ")) << text.substr(0, 400);
        EXPECT_NE(std::string::npos, text.find(" obj.b = ramp "));
        EXPECT_EQ(std::string::npos, text.find("obj.d"));

        Parameters baked;
        ASSERT_TRUE(OrvBakedSyncKeys::ProcessText(text, "sync.txt", 60000.0 / bpm, baked.manager,
                                                  baked.diagnostics))
            << baked.diagnostics.Text();
        // Forwards frame by frame, then jumps about.
        std::vector<unsigned> positions;
        for (unsigned position = 0; position < lastTime + 500; position += 16)
            positions.push_back(position);
        std::uniform_int_distribution<unsigned> anywhere(0, lastTime + 500);
        for (int i = 0; i < 2000; ++i)
            positions.push_back(anywhere(generator));
        for (unsigned position : positions) {
            tracks.ApplyAt(position);
            baked.manager.ApplyAt(position);
            for (int parameter = 0; parameter < 3; ++parameter) {
                ASSERT_TRUE(SameBits(live.object.values[parameter], baked.object.values[parameter]))
                    << "obj." << char('a' + parameter) << " at " << position << ": "
                    << live.object.values[parameter] << " live, " << baked.object.values[parameter]
                    << " baked";
            }
        }
        EXPECT_EQ(0, baked.object.calls[3]);
    }
}

TEST(OrvSyncKeys, WritesReadableLinesAndLeavesOutTracksTheShowLacks) {
    Parameters show;
    OrvSyncTrackSource tracks;
    tracks.AddTrack("obj.a");
    tracks.AddTrack("gone.x");
    tracks.Bind(&show.manager);
    using Type = OrvSyncTrack::Type;
    tracks.Track(0).SetKey(8, 500, 0.5f, Type::Linear);
    tracks.Track(0).SetKey(16, 1000, 2.0f, Type::Smooth);
    tracks.Track(0).SetKey(24, 1500, -0.25f, Type::Ramp);
    tracks.Track(0).SetKey(32, 2000, 0.1f, Type::Step);
    tracks.Track(1).SetKey(0, 0, 1.0f, Type::Step);
    int skipped = 0;
    std::string text = OrvSyncKeysWriter::Text(tracks, skipped);
    EXPECT_EQ(1, skipped);
    EXPECT_NE(std::string::npos,
              text.find("# obj:a\n"
                        "0.000 obj.a = 0.5\n"
                        "0.500 obj.a = 0.5 to 2 in 0.500\n"
                        "1.000 obj.a = smooth 2 to -0.25 in 0.500\n"
                        "1.500 obj.a = ramp -0.25 to 0.10000000149011612 in 0.500\n"
                        "2.000 obj.a = 0.10000000149011612\n"))
        << text;
    EXPECT_EQ(std::string::npos, text.find("gone"));
    EXPECT_EQ("0", OrvSyncKeysWriter::Number(-0.0));
    EXPECT_EQ("3", OrvSyncKeysWriter::Number(3.0));
    for (double value : {1e-30, -3.4e38, 0.1, 123456.789})
        EXPECT_EQ(value, std::strtod(OrvSyncKeysWriter::Number(value).c_str(), nullptr));
}

TEST(OrvSyncKeys, SmoothAndRampItemsAsTyped) {
    Parameters show;
    std::string text = "# typed by hand\n"
                       "0 obj.a = smooth 0 to 10 in 1\n"
                       "@1 obj.b = ramp 2 to 4 in 2   # beats work as elsewhere\n";
    ASSERT_TRUE(
        OrvBakedSyncKeys::ProcessText(text, "sync.txt", 500.0, show.manager, show.diagnostics))
        << show.diagnostics.Text();
    show.manager.ApplyAt(250);
    EXPECT_DOUBLE_EQ(10 * 0.25 * 0.25 * (3 - 0.5), show.object.values[0]);
    show.manager.ApplyAt(500);
    EXPECT_DOUBLE_EQ(5.0, show.object.values[0]);
    show.manager.ApplyAt(2000 + 1000); // bar 1 is 2 s at 120 bpm; half of its 2 s
    EXPECT_DOUBLE_EQ(2.5, show.object.values[1]);
    show.manager.ApplyAt(9000);
    EXPECT_EQ(10.0, show.object.values[0]);
    EXPECT_EQ(4.0, show.object.values[1]);

    Parameters broken;
    EXPECT_FALSE(OrvBakedSyncKeys::ProcessText("0 obj.a = 1\n1 obj.a = smooth 1 to\n", "sync.txt",
                                               500.0, broken.manager, broken.diagnostics));
    EXPECT_NE(std::string::npos, broken.diagnostics.Text().find("Syntax error"));
    ASSERT_FALSE(broken.diagnostics.Records().empty());
    EXPECT_EQ("sync.txt", broken.diagnostics.Records().back().file);
    EXPECT_EQ(2, broken.diagnostics.Records().back().line);
    Parameters unknown;
    EXPECT_FALSE(OrvBakedSyncKeys::ProcessText("0 obj.z = 1\n", "sync.txt", 500.0, unknown.manager,
                                               unknown.diagnostics));
    EXPECT_NE(std::string::npos, unknown.diagnostics.Text().find("Unknown parameter: obj.z"));
}
