#ifndef ORV_RUNTIME_ORVSYNCSESSION_H
#define ORV_RUNTIME_ORVSYNCSESSION_H

// Timing a show live with a sync editor, hooked into the player's loop in debug mode.
//
// The script's sync block names the tracks (OrvShow::Sync); their keys drive the parameters
// as a source after the timeline (OrvSyncTrackSource), so a key the editor sends shows on the
// next frame. Before every frame: the connection is served (OrvSyncClient: never blocking,
// retried once a second, at most a bounded number of bytes a frame); on a new connection every
// track is asked for in track order, its old keys dropped for the editor's; then the editor's
// messages apply: keys set and deleted, SET_ROW moves the show there (the music follows),
// PAUSE pauses and resumes picture and music, SAVE_TRACKS (or F6) bakes the keys into the
// header's `sync` file (OrvSyncKeysWriter). After every frame, while playing, the row of the
// position is sent to the editor whenever it changed.
//
// A live reload (the player tells of a replaced show) keeps the connection and the tracks: tracks
// keep their numbers, names new to the sync block get the next numbers and are asked for, the keys
// are timed again by the new show's bpm and rows per beat, and the tracks are pointed at the
// new show's parameters. A track whose parameter is gone keeps its number and keys but drives
// nothing and is not baked, until a show has that parameter again.
//
// Ownership: owns the tracks and the connection; the shows are the player's (the session adds
// its tracks to each as a parameter source, and never touches a show it was not handed).
// Main thread only.

#include "animation/OrvSyncRows.h"
#include "animation/OrvSyncTrackSource.h"
#include "runtime/IOrvPlayerHook.h"
#include "runtime/OrvSyncClient.h"

#include <string>

class OrvShow;

class OrvSyncSession : public IOrvPlayerHook {
public:
    static constexpr const char* DefaultAddress = "localhost:1338";

    explicit OrvSyncSession(const std::string& address);

    void BeforeFrame(IOrvPlayerControl& player) override;
    void AfterFrame(IOrvPlayerControl& player) override;
    // Drives the new show's parameters from the tracks (and the first show's, when added).
    void ShowReplaced(IOrvPlayerControl& player, OrvShow* previous) override;
    // The same with the time given (the real-time clock's milliseconds).
    void BeforeFrameAt(IOrvPlayerControl& player, unsigned now);

    // Bakes the keys into the show's sync file; false (after one line on standard error) when
    // the header names none or it cannot be written.
    bool SaveKeys(OrvShow& show);

    const OrvSyncTrackSource& Tracks() const { return tracks; }
    // The tracks as the parameter source the session adds to each show it follows.
    IOrvParameterSource& Source() { return tracks; }
    const OrvSyncClient& Client() const { return client; }

private:
    void Follow(OrvShow& show);
    void AskForTracks(int from);
    void Apply(IOrvPlayerControl& player, const OrvSyncMessageReader::Message& message);

    OrvSyncClient client;
    OrvSyncTrackSource tracks;
    OrvSyncRows rows;
    bool rowKnown;
    unsigned lastRow;
};

#endif
