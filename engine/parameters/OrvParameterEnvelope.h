#ifndef ORV_PARAMETERS_ORVPARAMETERENVELOPE_H
#define ORV_PARAMETERS_ORVPARAMETERENVELOPE_H

// The timeline of one parameter: envelope items in time order, each starting no earlier than
// the end of the one before. The envelope owns every item it accepted and deletes them when
// it is destroyed; a refused item stays with the caller.
//
// Which item answers for a time t: the first item i that ends at or after t, or whose
// successor starts after t, or that is the last one. So an item still answers at exactly its
// end (even when the next one starts there), the earlier item keeps answering across a gap,
// and the last item keeps answering after its end. Before the first item there is no value.
// That choice depends on t alone, never on earlier calls. Each item therefore answers up to
// a time of its own, max(its end, the next start - 1), and those times never decrease along
// the list: the answering item is the first whose time is >= t, found by binary search.
// The envelope also remembers the stretch of time during which the current item keeps
// answering, so a frame that stays inside it costs two comparisons, a step forward a few
// checks, and a jump anywhere (backwards included) at most one binary search.
//
// GetValue allocates nothing. Main thread only.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "parameters/IOrvParameterEnvelopeItem.h"

class OrvParameterEnvelope {
public:
    OrvParameterEnvelope();
    ~OrvParameterEnvelope();
    // Moving hands the items over and leaves the source empty (records live in a growing
    // vector). There is no assignment.
    OrvParameterEnvelope(OrvParameterEnvelope&& other) noexcept;
    OrvParameterEnvelope& operator=(OrvParameterEnvelope&& other) = delete;
    OrvParameterEnvelope(const OrvParameterEnvelope&) = delete;
    OrvParameterEnvelope& operator=(const OrvParameterEnvelope&) = delete;

    // Appends the item and takes ownership (true). When the last item lasts exactly 1 ms and
    // starts where the new one starts, the new one replaces it (the old one is deleted). An
    // item that starts before the end of the last one is refused: "Envelope defined already
    // to this section of time" is reported at severity 1, false is returned, and the caller
    // keeps the item. A null item is refused silently.
    bool AddItem(IOrvParameterEnvelopeItem* item);

    // True and the value of the answering item, or false when there are no items or t is
    // before the first item.
    bool GetValue(unsigned int time, double& value) {
        if (time < windowStart || time > windowEnd)
            Seek(time);
        if (!current)
            return false;
        value = current->Value(time);
        return true;
    }

    int ItemCount() const { return static_cast<int>(items.size()); }
    // The item at that position, 0 first; still owned by the envelope. Null when out of range.
    const IOrvParameterEnvelopeItem* Item(int index) const;

private:
    void Seek(unsigned int time);
    size_t FirstAnswering(size_t low, size_t high, unsigned int time) const;
    void Settle(size_t index, unsigned int time);
    void Forget();

    std::vector<IOrvParameterEnvelopeItem*> items; // owned
    // answersUntil[i]: the last time at which item i answers (if no earlier item does). Kept
    // apart from the items, so searching reads one small array and never touches them.
    std::vector<unsigned int> answersUntil;
    // End of the last item, in 64 bits: start + duration may pass the 32-bit range of times,
    // and must not wrap round and let an overlapping item in.
    uint64_t lastEnd;
    // The item answering from windowStart to windowEnd, or null when that stretch has no
    // value (before the first item, or no items at all).
    IOrvParameterEnvelopeItem* current;
    unsigned int windowStart;
    unsigned int windowEnd;
    size_t cursor; // index of the item the window belongs to
    bool located;  // false until the first evaluation after a change of the items
};

#endif
