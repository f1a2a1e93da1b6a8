#ifndef ORV_ANIMATION_ORVSYNCTRACK_H
#define ORV_ANIMATION_ORVSYNCTRACK_H

// One track of a sync editor: its keys, each at a row, with the row's time in whole
// milliseconds (worked out by whoever sets the key, OrvSyncRows), a value and how the value
// goes on to the next key: step (held), linear, smooth (t²(3 − 2t)) or ramp (t²).
//
// ValueAt(position): nothing without keys; before the first key, its value; from a key on, the
// key's curve towards the next key, evaluated on the millisecond (so between two rows the
// value moves on the fractional row, smoothly at any frame rate); from the last key on, its
// value. Two keys at the same millisecond: the later row answers. Linear and eased values use
// the envelopes' own formulas (OrvEnvelopeSegment), so a track written out as timeline items
// plays back with the same bits.
//
// SetKey and DeleteKey may allocate (a key arrives); ValueAt allocates nothing and costs no
// search while the position stays within the same key or steps into the next. Main thread.

#include <cstddef>
#include <vector>

class OrvSyncTrack {
public:
    enum class Type : unsigned char { Step = 0, Linear = 1, Smooth = 2, Ramp = 3 };
    struct Key {
        unsigned row;
        unsigned time; // ms
        double value;
        Type type;
    };

    // Adds the key, or replaces the one at the same row.
    void SetKey(unsigned row, unsigned time, double value, Type type);
    // No key at the row: nothing happens.
    void DeleteKey(unsigned row);
    void Clear();
    bool Empty() const { return keys.empty(); }
    // In row order.
    const std::vector<Key>& Keys() const { return keys; }

    bool ValueAt(unsigned position, double& value) const;

private:
    std::vector<Key> keys;
    mutable size_t cursor = 0; // the key that answered last
};

#endif
