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
// a time of its own, max(its end, the next start - 1), from just after the previous item's
// (the first, from its start): the stretches follow each other without a gap, and an item of
// 0 ms at the instant where the one before ends has an empty stretch and never answers.
//
// Layout, for speed at show scale (thousands of parameters evaluated per frame):
// - Every item is kept as a plain record (OrvEnvelopeSegment) in a record store. Holds,
//   linear fades and Catmull-Rom segments are copied into their record and the item is
//   deleted at once; any other item (random ones, which keep state, or a subclass of the
//   three) stays alive, owned by the envelope, and is asked through its Value().
// - The parameter manager gives all its envelopes one shared store, so the records lie in the
//   order the script adds them. An envelope made on its own keeps a store of its own.
// - A search reads none of that: it reads one contiguous array of 8-byte keys per envelope
//   (OrvEnvelopeKey), the way a sync tracker keeps a track. A hold is one key; a fade is a
//   key at its start and one at its end, and a fade that starts where the one before ends, at
//   the value that one ends with, shares that key, as in a tracker. The values sit in a table
//   of distinct values (OrvEnvelopeValues) that the manager's envelopes share and that stays
//   small, so a seek reads the keys it compares and one or two entries of that table. Splines
//   and items of other kinds are keys that send the envelope to their record.
// - The keys are made as items are added, in an array of the envelope's own. Once loading is
//   done the manager packs every envelope's keys one after the other into one block of its
//   own (PackInto), wherever loading left the arrays; an envelope on its own can Pack().
// - The envelope keeps what its answering key computes (a value, or a start, a value and a
//   slope, or the record to ask) together with the stretch of time during which the key
//   answers, so a frame inside that stretch reads nothing but the envelope: these few fields
//   are all that a frame walks through, and everything needed only while loading is kept
//   apart. Playing on into the next key costs no search; any other move (a jump either way,
//   a step over several keys) costs one binary search.
//
// Ownership: an accepted item belongs to the envelope (deleted at once, or when the envelope
// goes); a refused item stays with the caller. A shared store or value table, and a block the
// keys were packed into, are not owned and must outlive the envelope (the block, only until
// the envelope's next item). GetValue allocates nothing. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeKey.h"
#include "animation/OrvEnvelopeSegment.h"
#include "animation/OrvEnvelopeValues.h"

class OrvParameterEnvelope {
public:
    // Keeps its records in a store and its key values in a table of its own, made on the
    // first item.
    OrvParameterEnvelope();
    // Keeps its records in `store`, shared with other envelopes; it must outlive them all.
    explicit OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& store);
    // Keeps its records in `store` and its key values in `values`, both shared with other
    // envelopes; they must outlive them all.
    OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& store, OrvEnvelopeValues& values);
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
        if (answer == Answer::Nothing)
            return false;
        if (answer == Answer::Value)
            value = answerValue;
        else if (answer == Answer::Fade)
            value = OrvEnvelopeSegment::FadeValue(answerValue, answerSlope, time - answerStart);
        else
            value = (*store)[answerStart].Value(time);
        return true;
    }

    // Loading is done: the key array gets its exact size.
    void Pack();
    // The same, into `place`, which has room for KeyCount() keys: a manager packs all its
    // envelopes' arrays one after the other into one block. The block must outlive the
    // envelope, or last until its next item: adding an item takes the keys back into an
    // array of the envelope's own first, and everything answers as before.
    void PackInto(OrvEnvelopeKey* place);
    // Whether the keys are in a block given to PackInto (until the next item).
    bool PackedInto() const { return items && items->packed; }

    int ItemCount() const { return items ? static_cast<int>(items->slots.size()) : 0; }
    // The item at that position, 0 first, as the envelope keeps it: its span and either its
    // numbers or the item it asks (still owned by the envelope). Null when out of range. Valid
    // until an item is added to any envelope on the same store.
    const OrvEnvelopeSegment* Segment(int index) const;
    // The search keys in time order, for inspection; valid until the next item or packing.
    int KeyCount() const { return static_cast<int>(keyCount); }
    const OrvEnvelopeKey* Keys() const { return keyData; }

private:
    // What the window answers.
    enum class Answer : unsigned char { Nothing, Value, Fade, Record };

    // What only loading needs, kept out of the envelope so that a frame's walk over many
    // envelopes reads only the fields above.
    struct Items {
        std::vector<unsigned int> slots;     // the items in time order: their records' places
        std::vector<OrvEnvelopeKey> ownKeys; // where keys are made; emptied by PackInto
        bool packed = false;                 // the keys are in a block given to PackInto
        size_t lastItemKeys = 0; // where the last item's keys begin, for its replacement
        std::unique_ptr<std::vector<OrvEnvelopeSegment>> ownStore;
        std::unique_ptr<OrvEnvelopeValues> ownValues;
    };

    void Seek(unsigned int time);
    void Forget();
    void Unpack();
    void AddKeys(const OrvEnvelopeSegment& record, unsigned int slot);
    void RemoveLastItemKeys();
    const OrvEnvelopeSegment& RecordOf(size_t item) const { return (*store)[items->slots[item]]; }
    uint64_t EndOf(size_t item) const;

    // What a frame inside the window reads, first and together: the stretch of time from
    // windowStart to windowEnd during which the key at the cursor answers, and its answer.
    unsigned int windowStart;
    unsigned int windowEnd;
    Answer answer;
    unsigned int answerStart; // Fade: the fade's start; Record: the record's place in the store
    double answerValue;       // Value: the value; Fade: the value at answerStart
    double answerSlope;       // Fade: the change per millisecond
    unsigned int cursor;      // the key the window belongs to
    // Until when the key after the cursor's answers (the first key, before it), so a step
    // into it needs no search; 0 when there is none to step into.
    unsigned int nextEnd;
    const OrvEnvelopeKey* keyData; // in strictly increasing time: the own array, or a block
    unsigned int keyCount;
    std::vector<OrvEnvelopeSegment>* store; // null until the first item when not shared
    OrvEnvelopeValues* values;              // null until the first item when not shared
    std::unique_ptr<Items> items;           // null until the first item
};

#endif
