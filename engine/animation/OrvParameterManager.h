#ifndef ORV_ANIMATION_ORVPARAMETERMANAGER_H
#define ORV_ANIMATION_ORVPARAMETERMANAGER_H

// The registry of every animatable parameter, and the animator that drives them.
//
// AddInterface expands an interface into flat records named by dotted paths: the prefix, a
// full stop and each parameter name, in parameter order; then each child in the order it was
// reported, depth first, under prefix + "." + child name (an empty child name adds no element;
// a child with a null interface is skipped). Registering the same interface again, or under a
// name that exists already, adds more records; a name lookup always finds the FIRST record
// with that name, so later duplicates never animate.
//
// The Add... operations create an envelope item and attach it to the named record. An unknown
// name reports "Unknown parameter: " + name, followed, when some registered names look alike,
// by "\nDid you mean:\n\n" and up to ten of them, one per line; an item the envelope refuses
// reports the envelope's overlap message. Either way the item is discarded and false returned.
//
// UpdateParameters(position) asks every record's envelope, in registration order, and passes
// each value it gets to the owner's UpdateParameter. It allocates nothing.
// What is on screen depends on the position alone, not on the way there: once loading is
// done, RememberLoadedValues reads every parameter's value, and a record whose envelope has
// nothing to say yet (a position before its first item) gets that value back, so a jump
// backwards undoes what later items did. Records without items are left alone. Random items
// draw anew at every evaluation and are the one exception.
//
// Every envelope keeps its item records in one store of the manager's, in the order the items
// were added, and its key values in one table of the manager's (see OrvParameterEnvelope).
// RememberLoadedValues packs every envelope's search keys into one block of the manager's,
// one envelope after the other; an item added later works as ever.
//
// Follow sources are named curves (a music analysis's bands, level and onsets) that an item
// can follow (AddFollow): the value is the curve's at the position, times a scale, plus an
// offset. An unknown source reports "Unknown source: " + name, with "Did you mean:" as above
// from the source names. The curves are borrowed and may be filled after the items are made.
//
// Ownership: the manager owns the envelopes and their items. The interfaces are NOT owned:
// they must outlive the last UpdateParameters call; nor are the diagnostics it reports into
// and the random source its random items draw from. Main thread only.

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/IOrvParameterSource.h"
#include "animation/OrvEnvelopeSegment.h"
#include "animation/OrvEnvelopeValues.h"
#include "animation/OrvParameterEnvelope.h"
#include "animation/OrvParameterInterface.h"

class OrvDiagnostics;
class OrvRandom;
class OrvSampledCurve;

class OrvParameterManager : public IOrvParameterSource {
public:
    OrvParameterManager(OrvDiagnostics& diagnostics, OrvRandom& random);
    ~OrvParameterManager();
    OrvParameterManager(const OrvParameterManager&) = delete;
    OrvParameterManager& operator=(const OrvParameterManager&) = delete;

    void AddInterface(const std::string& prefix, OrvParameterInterface& iface);

    bool AddParameterHold(const std::string& name, unsigned int start, double value);
    bool AddLinearParameterFade(const std::string& name, unsigned int start, unsigned int duration,
                                double from, double to);
    bool AddCatmullRomSpline(const std::string& name, unsigned int start, unsigned int duration,
                             double p0, double p1, double p2, double p3);
    // A smooth (t²(3 − 2t)) or ramp (t²) ease from `from` to `to` (OrvParameterEase).
    bool AddEase(const std::string& name, unsigned int start, unsigned int duration, double from,
                 double to, bool smooth);
    // The bounds may come in either order.
    bool AddRandom(const std::string& name, unsigned int start, unsigned int duration,
                   double bound1, double bound2);

    // A curve that follow items may name; borrowed, it must outlive the manager. A name added
    // again keeps its first curve.
    void AddFollowSource(const std::string& name, const OrvSampledCurve& curve);
    bool AddFollow(const std::string& name, unsigned int start, const std::string& source,
                   double scale, double offset);
    bool FollowSourceExists(const std::string& name) const { return followSources.count(name) > 0; }
    // The beat length (ms) that follow items of the clock count with (OrvParameterClock:
    // clock.seconds, clock.beats, clock.beatPhase, clock.barPhase and the phases' .sine and
    // .triangle), which AddFollow knows besides the curves; 0 (the start) or less: no bpm,
    // and every clock source but clock.seconds reports "Source " + name + " counts beats,
    // but the header has no bpm above 0".
    void SetClockBeatLength(double beatLength) { clockBeatLength = beatLength; }

    void UpdateParameters(unsigned int position);
    // The timeline as the frame's first parameter source: UpdateParameters.
    void ApplyAt(unsigned position) override { UpdateParameters(position); }
    // Reads every record's current value (OrvParameterInterface::ReadParameter): what a
    // record returns to before its first item. Called once, when loading is done; it also
    // packs every envelope's search keys (OrvParameterEnvelope::PackInto).
    void RememberLoadedValues();

    // Reports "Unknown parameter: " + name, with the look-alike names, as an item with an
    // unknown name does.
    void ReportUnknownParameter(const std::string& name);
    // Registers every record of `other` (its names, owners and numbers) here too, in its
    // order: a second animator over the same parameters (the baked sync keys).
    void AddRecordsOf(const OrvParameterManager& other);
    // Sets the record's parameter through its owner (a later parameter source). Allocates
    // nothing; `record` must be in range.
    void SetValue(int record, double value) {
        records[record].owner->UpdateParameter(records[record].index, value);
    }

    // The number of the first record with exactly this full name, or -1.
    int FindParameterByName(const std::string& name) const;
    bool ParameterExists(const std::string& name) const;
    // Up to ten registered full names that look like `name`: a name scores the number of
    // positions holding the same byte in both, divided by the longer length; names scoring
    // at least 0.5 are listed best first, equal scores in registration order.
    std::deque<std::string> SimiliarParameterNames(const std::string& name) const;

    // Inspection, in registration order. `record` must be in range.
    int ParameterCount() const { return static_cast<int>(records.size()); }
    const std::string& FullName(int record) const { return names[record]; }
    const OrvParameterEnvelope& Envelope(int record) const { return records[record].envelope; }
    // The record's current value, read from its owner; false when the owner cannot say.
    bool ReadValue(int record, double& value) const;

protected:
    // Takes ownership of `item` in every case: attached (true) or deleted (false).
    bool AddEnvelopeItem(const std::string& name, IOrvParameterEnvelopeItem* item);

private:
    OrvDiagnostics& diagnostics;
    OrvRandom& random;
    // What a frame needs, kept apart from the names so the per-frame walk stays compact.
    struct Record {
        OrvParameterInterface* owner; // not owned
        int index;
        OrvParameterEnvelope envelope;
        bool restores;      // has a value from the end of loading to return to
        double loadedValue; // that value
    };

    void AddRecord(const std::string& fullName, OrvParameterInterface* owner, int index);
    // "Unknown ...: name", then the names of `pool` that look alike, as above.
    void ReportUnknown(const std::string& what, const std::string& name,
                       const std::vector<std::string>& pool);
    static std::deque<std::string> SimilarNames(const std::string& name,
                                                const std::vector<std::string>& pool);
    void PackKeys();

    // The envelopes' item records and key values. Declared before `records`, so the
    // envelopes, which read the records when they delete their items, go first.
    std::vector<OrvEnvelopeSegment> segmentStore;
    OrvEnvelopeValues keyValues;
    std::vector<OrvEnvelopeKey> packedKeys; // every envelope's search keys once loading is done
    std::vector<Record> records;
    std::vector<std::string> names; // names[i] is the full name of records[i]
    double clockBeatLength = 0;
    // Full name -> first record with it. Loading a long script looks names up constantly.
    std::unordered_map<std::string, int> firstRecordByName;
    std::unordered_map<std::string, const OrvSampledCurve*> followSources; // not owned
    std::vector<std::string> followSourceNames; // in the order they were added
};

#endif
