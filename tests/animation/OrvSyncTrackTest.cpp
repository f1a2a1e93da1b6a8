// A sync editor's track: what each kind of key gives between rows, before the first key and
// after the last, what editing keys does, and that a frame's evaluation allocates nothing.
// Rows against milliseconds, both ways.

#include "animation/OrvSyncTrack.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvRecordingInterface.h"
#include "animation/OrvSyncRows.h"
#include "animation/OrvSyncTrackSource.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "support/OrvAllocationCounter.h"

#include <gtest/gtest.h>

namespace {
double At(const OrvSyncTrack& track, unsigned position) {
    double value = -999;
    EXPECT_TRUE(track.ValueAt(position, value)) << position;
    return value;
}
} // namespace

TEST(OrvSyncTrack, EachKeyTypeMovesTowardsTheNextKeyOnTheMillisecond) {
    OrvSyncTrack track;
    double value;
    EXPECT_FALSE(track.ValueAt(0, value)); // no keys: the timeline's value stays

    using Type = OrvSyncTrack::Type;
    track.SetKey(10, 1000, 2.0, Type::Step);
    track.SetKey(20, 2000, 4.0, Type::Linear);
    track.SetKey(30, 3000, 8.0, Type::Smooth);
    track.SetKey(40, 4000, 0.0, Type::Ramp);
    track.SetKey(50, 5000, 1.0, Type::Step);

    EXPECT_EQ(2.0, At(track, 0));    // before the first key: its value
    EXPECT_EQ(2.0, At(track, 1999)); // a step holds up to the next key
    EXPECT_EQ(4.0, At(track, 2000));
    EXPECT_DOUBLE_EQ(5.0, At(track, 2250)); // linear, a quarter of the way
    EXPECT_DOUBLE_EQ(8.0 - 8.0 * 0.25 * 0.25 * (3 - 0.5), At(track, 3250)); // smooth
    EXPECT_DOUBLE_EQ(4.0, At(track, 3500));  // smooth is half way at half time
    EXPECT_DOUBLE_EQ(0.25, At(track, 4500)); // ramp: t² of the way
    EXPECT_EQ(1.0, At(track, 5000));
    EXPECT_EQ(1.0, At(track, 900000)); // the last key holds

    // Between two frames at 60 per second the value moves on every frame, not once a row.
    double previous = At(track, 2000);
    for (unsigned position = 2017; position < 3000; position += 17) {
        double now = At(track, position);
        EXPECT_GT(now, previous) << position;
        previous = now;
    }

    // Jumps back and forth answer like a fresh track does.
    OrvSyncTrack fresh;
    for (const OrvSyncTrack::Key& key : track.Keys())
        fresh.SetKey(key.row, key.time, key.value, key.type);
    for (unsigned position : {4700u, 100u, 3100u, 3101u, 2999u, 5200u, 1000u, 4000u, 3999u}) {
        double again;
        ASSERT_TRUE(OrvSyncTrack(fresh).ValueAt(position, again));
        EXPECT_EQ(again, At(track, position)) << position;
    }

    // Editing: a key at a row replaces the one there; deleting a row without a key does
    // nothing; deleting every key gives the parameter back.
    track.SetKey(20, 2000, 10.0, Type::Step);
    EXPECT_EQ(10.0, At(track, 2500));
    track.DeleteKey(21);
    EXPECT_EQ(5u, track.Keys().size());
    track.DeleteKey(20);
    EXPECT_EQ(2.0, At(track, 2500));
    track.Clear();
    EXPECT_FALSE(track.ValueAt(2500, value));
}

TEST(OrvSyncTrack, TheSourceSetsOnlyBoundTracksWithKeysAndAllocatesNothing) {
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvParameterManager parameters(diagnostics, random);
    OrvRecordingInterface camera({"x", "y"});
    parameters.AddInterface("cam", camera);

    OrvSyncTrackSource source;
    EXPECT_EQ(0, source.AddTrack("cam.x"));
    EXPECT_EQ(1, source.AddTrack("cam.y"));
    EXPECT_EQ(2, source.AddTrack("gone.z"));
    EXPECT_EQ(0, source.AddTrack("cam.x")); // a known name keeps its number
    EXPECT_EQ("cam:x", OrvSyncTrackSource::TrackName("cam.x"));
    EXPECT_EQ("tunnel:shaders[0].kick", OrvSyncTrackSource::TrackName("tunnel.shaders[0].kick"));
    source.Bind(&parameters);
    EXPECT_TRUE(source.Bound(0));
    EXPECT_FALSE(source.Bound(2));

    source.Track(0).SetKey(0, 0, 3.0, OrvSyncTrack::Type::Linear);
    source.Track(0).SetKey(8, 1000, 5.0, OrvSyncTrack::Type::Step);
    source.Track(2).SetKey(0, 0, 7.0, OrvSyncTrack::Type::Step);
    unsigned long before = OrvAllocationCount();
    for (unsigned position = 0; position < 2000; position += 16)
        source.ApplyAt(position);
    source.ApplyAt(500);
    EXPECT_EQ(before, OrvAllocationCount());
    EXPECT_DOUBLE_EQ(4.0, camera.values[0]);
    EXPECT_EQ(0, camera.calls[1]); // no keys: untouched
}

TEST(OrvSyncRows, RowsAndMillisecondsRoundTrip) {
    for (double bpm : {120.0, 125.0, 137.0, 60.0}) {
        for (double rowsPerBeat : {8.0, 4.0, 6.0, 16.0}) {
            OrvSyncRows rows(bpm, rowsPerBeat);
            double length = 60000.0 / (bpm * rowsPerBeat);
            for (unsigned row = 0; row < 20000; row += 7) {
                unsigned time = rows.TimeOf(row);
                EXPECT_NEAR(row * length, time, 0.5) << bpm << " " << rowsPerBeat;
                ASSERT_EQ(row, rows.RowAt(time)) << bpm << " " << rowsPerBeat << " " << row;
                ASSERT_EQ(row, rows.RowAt(rows.TimeOf(row + 1) - 1)) << row;
            }
        }
    }
    OrvSyncRows none(0, 8);
    EXPECT_EQ(0u, none.TimeOf(100));
    EXPECT_EQ(0u, none.RowAt(100000));
}
