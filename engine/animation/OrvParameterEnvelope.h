#ifndef ORV_ANIMATION_ORVPARAMETERENVELOPE_H
#define ORV_ANIMATION_ORVPARAMETERENVELOPE_H

// The timeline of one parameter: envelope items in time order, each starting no earlier than
// the end of the one before.
//
// Which item answers for a time t: the first item i that ends at or after t, or whose
// successor starts after t, or that is the last one. So an item still answers at exactly its
// end (even when the next one starts there), the earlier item keeps answering across a gap,
// and the last item keeps answering after its end. Before the first item there is no value.
// That choice depends on t alone, never on earlier calls. Each item therefore answers up to
// a time of its own, max(its end, the next start - 1), and those times never decrease along
// the list: the answering item is the first whose time is >= t, found by binary search.
//
// Layout, for speed at show scale (thousands of parameters evaluated per frame):
// - Every item is kept as a plain record (OrvEnvelopeSegment) in a record store. Holds,
//   linear fades and Catmull-Rom segments are copied into their record and the item is
//   deleted at once; any other item (random ones, which keep state, or a subclass of the
//   three) stays alive, owned by the envelope, and is asked through its Value().
// - The parameter manager gives all its envelopes one shared store, so the records lie in the
//   order the script adds them: a timeline listed in time order puts the items that answer
//   at the same moment next to each other, and a frame or a jump reads memory nearly in
//   sequence. An envelope made on its own keeps a store of its own.
// - The envelope's own array holds, per item, the time it answers until and the place of its
//   record: the search reads nothing else.
// - The envelope keeps a copy of the answering record together with the stretch of time
//   during which it answers, so a frame inside that stretch reads nothing but the envelope.
//   Playing on into the next item costs no search; any other move (a jump either way, a step
//   over several items) costs one binary search.
//
// Ownership: an accepted item belongs to the envelope (deleted at once, or when the envelope
// goes); a refused item stays with the caller. A shared store is not owned and must outlive
// the envelope. GetValue allocates nothing. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeSegment.h"

class OrvParameterEnvelope {
public:
    // Keeps its records in a store of its own, made on the first item.
    OrvParameterEnvelope();
    // Keeps its records in `store`, shared with other envelopes; it must outlive them all.
    explicit OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& store);
    ~OrvParameterEnvelope();
    // Moving hands the items over and leaves the source empty (envelopes live in a growing
    // vector). There is no assignment.
    OrvParameterEnvelope(OrvParameterEnvelope&& other) noexcept;
    OrvParameterEnvelope& operator=(OrvParameterEnvelope&& other) = delete;
    OrvParameterEnvelope(const OrvParameterEnvelope&) = delete;
    OrvParameterEnvelope& operator=(const OrvParameterEnvelope&) = delete;

    // Appends the item and takes ownership (true); the caller must not touch it again, as a
    // hold, fade or spline is copied and deleted at once. When the last item lasts exactly
    // 1 ms and starts where the new one starts, the new one replaces it (the old one is
    // deleted). An item that starts before the end of the last one is refused: false is
    // returned and the caller keeps the item (and reports OverlapMessage). A null item is
    // refused too.
    bool AddItem(IOrvParameterEnvelopeItem* item);
    static const char* const OverlapMessage;

    // True and the value of the answering item, or false when there are no items or t is
    // before the first item.
    bool GetValue(unsigned int time, double& value) {
        if (time < windowStart || time > windowEnd)
            Seek(time);
        if (!answers)
            return false;
        value = answering.Value(time);
        return true;
    }

    int ItemCount() const { return static_cast<int>(entries.size()); }
    // The item at that position, 0 first, as the envelope keeps it: its span and either its
    // numbers or the item it asks (still owned by the envelope). Null when out of range. Valid
    // until an item is added to any envelope on the same store.
    const OrvEnvelopeSegment* Segment(int index) const;

private:
    struct Entry {
        // The last time at which the item answers (if no earlier item does).
        unsigned int answersUntil;
        // Where its record is in the store. A show never comes near 2^32 items.
        unsigned int slot;
    };

    void Seek(unsigned int time);
    size_t FirstAnswering(unsigned int time) const;
    void Settle(size_t index, unsigned int time);
    void Forget();
    OrvEnvelopeSegment& RecordOf(const Entry& entry) const { return (*store)[entry.slot]; }

    // What a frame inside the window reads, first and together.
    unsigned int windowStart;
    unsigned int windowEnd;
    // A copy of the record answering from windowStart to windowEnd; meaningful only when
    // `answers` (false: that stretch has no value, before the first item or with no items).
    OrvEnvelopeSegment answering;
    bool answers;
    unsigned int cursor; // index of the entry the window belongs to
    // Until when the item after the cursor's answers (the first item, before it), so a step
    // into it needs no search; 0 when there is none to step into.
    unsigned int nextUntil;
    unsigned int firstStart; // start of the first item, so settling never reads a record for it

    std::vector<Entry> entries;             // in time order; records of Kind::Item own their item
    std::vector<OrvEnvelopeSegment>* store; // null until the first item when not shared
    std::unique_ptr<std::vector<OrvEnvelopeSegment>> ownStore;
};

#endif
