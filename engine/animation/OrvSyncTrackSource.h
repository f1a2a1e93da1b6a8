#ifndef ORV_ANIMATION_ORVSYNCTRACKSOURCE_H
#define ORV_ANIMATION_ORVSYNCTRACKSOURCE_H

// The sync editor's tracks as a parameter source after the timeline: each track is named after
// a parameter, and a track with keys sets that parameter at every frame (OrvSyncTrack); a track
// without keys leaves it to the timeline.
//
// Tracks are numbered in the order they were added and never removed: the number is the one
// the editor knows them by. Bind points the tracks at a show's parameters (again after a
// reload): a track whose parameter the show no longer has keeps its number and keys and sets
// nothing until a show has that parameter again.
//
// Ownership: owns the tracks; the parameter manager is borrowed between Bind calls and must
// outlive its use. ApplyAt allocates nothing. Main thread only.

#include "animation/IOrvParameterSource.h"
#include "animation/OrvSyncTrack.h"

#include <string>
#include <vector>

class OrvParameterManager;

class OrvSyncTrackSource : public IOrvParameterSource {
public:
    // The editor's name for a parameter's track: its first full stop becomes a colon
    // ("cam.pos.x" -> "cam:pos.x"), which groups the tracks in the editor.
    static std::string TrackName(const std::string& parameter);

    // The track's number; a parameter that has a track already keeps its number.
    int AddTrack(const std::string& parameter);
    // -1 when no track drives the parameter.
    int FindTrack(const std::string& parameter) const;
    int TrackCount() const { return static_cast<int>(tracks.size()); }
    const std::string& Parameter(int track) const { return tracks[track].parameter; }
    OrvSyncTrack& Track(int track) { return tracks[track].keys; }
    const OrvSyncTrack& Track(int track) const { return tracks[track].keys; }
    // Whether the bound show has the track's parameter.
    bool Bound(int track) const { return tracks[track].record >= 0; }

    // Finds every track's parameter in `parameters` (null: none).
    void Bind(OrvParameterManager* parameters);
    void ApplyAt(unsigned position) override;

private:
    struct Entry {
        std::string parameter;
        OrvSyncTrack keys;
        int record;
    };
    std::vector<Entry> tracks;
    OrvParameterManager* parameters = nullptr;
};

#endif
