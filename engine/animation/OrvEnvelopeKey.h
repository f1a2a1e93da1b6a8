#ifndef ORV_ANIMATION_ORVENVELOPEKEY_H
#define ORV_ANIMATION_ORVENVELOPEKEY_H

// One search key of an envelope: 8 bytes, the time from which it answers and what it answers
// with. An envelope keeps its keys in one contiguous array in time order, and a seek is a
// binary search over that array alone: most keys carry their value (as a place in the
// envelope's value table), so nothing but the key found and the one after it is read.
//
// What a key answers, from its time until the time before the next key (for ever, the last):
//   Hold      the key's value;
//   Fade      a straight fade from the key's value, starting at the key's time, to the value
//             of the next key at that key's time (the next key always ends the fade);
//   LateFade  the same, but the fade started one millisecond before the key: an item that
//             begins where the previous one ends answers only from the millisecond after;
//   Record    whatever the record at place Index() of the envelope's record store answers
//             (splines, random items, items of other kinds, fades that end past the last
//             millisecond).
//
// Made and read by OrvParameterEnvelope (and a manager packing keys). A plain value: it owns
// nothing and allocates nothing.

#include <cstdint>

class OrvEnvelopeKey {
public:
    enum class Kind : uint32_t { Hold = 0, Fade = 1, LateFade = 2, Record = 3 };

    // The index must be below MaxIndex; a show never comes near it.
    static const uint32_t MaxIndex = 1u << 30;

    // A hold of value 0 at time 0, for arrays sized before they are filled.
    OrvEnvelopeKey() : time(0), code(0) {}
    OrvEnvelopeKey(uint32_t time, Kind kind, uint32_t index);

    uint32_t Time() const { return time; }
    Kind KindOf() const { return static_cast<Kind>(code >> 30); }
    // A place in the value table (Hold, Fade, LateFade) or in the record store (Record).
    uint32_t Index() const { return code & (MaxIndex - 1); }
    void SetKind(Kind kind);

private:
    uint32_t time;
    uint32_t code; // the kind in the top two bits, the index below
};

#endif
