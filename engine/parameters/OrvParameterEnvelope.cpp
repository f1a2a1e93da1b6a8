#include "parameters/OrvParameterEnvelope.h"

#include <algorithm>
#include <limits>

#include "entry/OrvErrorLog.h"

namespace {
const unsigned int Forever = std::numeric_limits<unsigned int>::max();
// Forward moves first try this many following items before searching: at playback speed
// the answer is nearly always the current item or the next one.
const int ForwardSteps = 4;
} // namespace

OrvParameterEnvelope::OrvParameterEnvelope()
    : lastEnd(0), current(nullptr), windowStart(0), windowEnd(Forever), cursor(0), located(true) {
    // No items: every time is inside the window and gives no value.
}

OrvParameterEnvelope::~OrvParameterEnvelope() {
    for (IOrvParameterEnvelopeItem* item : items)
        delete item;
}

OrvParameterEnvelope::OrvParameterEnvelope(OrvParameterEnvelope&& other) noexcept
    : items(std::move(other.items)), answersUntil(std::move(other.answersUntil)),
      lastEnd(other.lastEnd), current(other.current), windowStart(other.windowStart),
      windowEnd(other.windowEnd), cursor(other.cursor), located(other.located) {
    // The source is left as a new, empty envelope.
    other.items.clear();
    other.answersUntil.clear();
    other.lastEnd = 0;
    other.current = nullptr;
    other.windowStart = 0;
    other.windowEnd = Forever;
    other.cursor = 0;
    other.located = true;
}

bool OrvParameterEnvelope::AddItem(IOrvParameterEnvelopeItem* item) {
    if (!item)
        return false;
    uint64_t start = item->Start();
    uint64_t end = start + item->Duration();

    if (!items.empty() && items.back()->Duration() == 1 && items.back()->Start() == start) {
        // A 1 ms item (a hold, say) followed by one at the same start is a correction of it.
        // The item before keeps answering up to the same time, as the start is the same.
        delete items.back();
        items.back() = item;
    } else {
        // Starting exactly at the end is fine; starting inside the last item's span is not.
        if (start < lastEnd) {
            ReportError(1, "Envelope defined already to this section of time");
            return false;
        }
        if (!items.empty()) {
            // The previous last item now answers up to just before this one begins, or up
            // to its own end when this one starts right there (at its end it still answers).
            uint64_t until = start > lastEnd ? start - 1 : lastEnd;
            answersUntil.back() = static_cast<unsigned int>(std::min<uint64_t>(until, Forever));
        }
        items.push_back(item);
        answersUntil.push_back(Forever);
    }
    lastEnd = end;
    Forget();
    return true;
}

const IOrvParameterEnvelopeItem* OrvParameterEnvelope::Item(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        return nullptr;
    return items[index];
}

// The first index in [low, high] whose item answers until `time` or later; `high` must.
size_t OrvParameterEnvelope::FirstAnswering(size_t low, size_t high, unsigned int time) const {
    auto first = answersUntil.begin();
    return std::lower_bound(first + low, first + high, time) - first;
}

void OrvParameterEnvelope::Seek(unsigned int time) {
    if (items.empty()) {
        current = nullptr;
        windowStart = 0;
        windowEnd = Forever;
        return;
    }
    size_t last = items.size() - 1;
    size_t found;
    if (located && time > windowEnd) {
        // Forward: nothing up to the cursor can answer any more.
        found = cursor;
        for (int step = 0; step < ForwardSteps && answersUntil[found] < time; ++step)
            ++found;
        if (answersUntil[found] < time)
            found = FirstAnswering(found + 1, last, time);
    } else {
        // Backward (the cursor's item still answers, but an earlier one may come first), or
        // the items changed since the last evaluation.
        found = FirstAnswering(0, located ? cursor : last, time);
    }
    Settle(found, time);
}

// Makes `index` (which answers at `time`) the cursor, with the stretch it answers for:
// from just after the previous item's last time up to its own.
void OrvParameterEnvelope::Settle(size_t index, unsigned int time) {
    cursor = index;
    located = true;
    unsigned int firstStart = items[0]->Start();
    if (index == 0 && time < firstStart) {
        current = nullptr;
        windowStart = 0;
        windowEnd = firstStart - 1;
        return;
    }
    current = items[index];
    // The previous item stopped before `time`, so adding 1 cannot overflow.
    windowStart = index == 0 ? firstStart : answersUntil[index - 1] + 1;
    windowEnd = answersUntil[index];
}

// The items changed: the next evaluation searches from scratch. An empty window forces it.
void OrvParameterEnvelope::Forget() {
    current = nullptr;
    windowStart = 1;
    windowEnd = 0;
    cursor = 0;
    located = false;
}
