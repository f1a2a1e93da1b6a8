#include "animation/OrvParameterEnvelope.h"

const char* const OrvParameterEnvelope::OverlapMessage =
    "Envelope defined already to this section of time";

#include <algorithm>
#include <limits>
#include <typeinfo>

#include "animation/OrvParameterCatmullRomSpline.h"
#include "animation/OrvParameterHold.h"
#include "animation/OrvParameterLinear.h"

namespace {
const unsigned int Forever = std::numeric_limits<unsigned int>::max();

// Holds, fades and splines of exactly those classes are copied flat. Anything else, a
// subclass of them included (it may answer in its own way), is asked through Value().
OrvEnvelopeSegment SegmentFor(IOrvParameterEnvelopeItem& item) {
    const std::type_info& type = typeid(item);
    if (type == typeid(OrvParameterHold))
        return static_cast<OrvParameterHold&>(item).Segment();
    if (type == typeid(OrvParameterLinear))
        return static_cast<OrvParameterLinear&>(item).Segment();
    if (type == typeid(OrvParameterCatmullRomSpline))
        return static_cast<OrvParameterCatmullRomSpline&>(item).Segment();
    return OrvEnvelopeSegment::ForItem(item);
}

void DeleteItemOf(const OrvEnvelopeSegment& segment) {
    if (segment.kind == OrvEnvelopeSegment::Kind::Item)
        delete segment.item;
}
} // namespace

OrvParameterEnvelope::OrvParameterEnvelope()
    : windowStart(0), windowEnd(Forever), answering(OrvEnvelopeSegment::Hold(0, 0)), answers(false),
      cursor(0), nextUntil(0), firstStart(0), store(nullptr) {
    // No items: every time is inside the window and gives no value.
}

OrvParameterEnvelope::OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& sharedStore)
    : OrvParameterEnvelope() {
    store = &sharedStore;
}

OrvParameterEnvelope::~OrvParameterEnvelope() {
    for (const Entry& entry : entries)
        DeleteItemOf(RecordOf(entry));
}

OrvParameterEnvelope::OrvParameterEnvelope(OrvParameterEnvelope&& other) noexcept
    : windowStart(other.windowStart), windowEnd(other.windowEnd), answering(other.answering),
      answers(other.answers), cursor(other.cursor), nextUntil(other.nextUntil),
      firstStart(other.firstStart), entries(std::move(other.entries)), store(other.store),
      ownStore(std::move(other.ownStore)) {
    // The source is left as a new, empty envelope: on the shared store if there is one, else
    // without a store (its own went with the items). The copy of the answering record still
    // points at the same item, if any.
    if (ownStore)
        other.store = nullptr;
    other.windowStart = 0;
    other.windowEnd = Forever;
    other.answers = false;
    other.cursor = 0;
    other.nextUntil = 0;
    other.firstStart = 0;
    other.entries.clear();
}

bool OrvParameterEnvelope::AddItem(IOrvParameterEnvelopeItem* item) {
    if (!item)
        return false;
    uint64_t start = item->Start();

    // A 1 ms item (a hold, say) followed by one at the same start is a correction of it.
    bool replaces = false;
    // End of the last item, in 64 bits: start + duration may pass the 32-bit range of times,
    // and must not wrap round and let an overlapping item in.
    uint64_t lastEnd = 0;
    if (!entries.empty()) {
        const OrvEnvelopeSegment& last = RecordOf(entries.back());
        replaces = last.duration == 1 && last.start == start;
        lastEnd = uint64_t(last.start) + last.duration;
    }
    // Starting exactly at the end is fine; starting inside the last item's span is not.
    if (!replaces && start < lastEnd) {
        return false;
    }

    if (!store) {
        ownStore = std::make_unique<std::vector<OrvEnvelopeSegment>>();
        store = ownStore.get();
    }
    OrvEnvelopeSegment segment = SegmentFor(*item);
    if (replaces) {
        // The item before keeps answering up to the same time, as the start is the same.
        OrvEnvelopeSegment& last = RecordOf(entries.back());
        DeleteItemOf(last);
        last = segment;
    } else {
        if (!entries.empty()) {
            // The previous last item now answers up to just before this one begins, or up
            // to its own end when this one starts right there (at its end it still answers).
            uint64_t until = start > lastEnd ? start - 1 : lastEnd;
            entries.back().answersUntil =
                static_cast<unsigned int>(std::min<uint64_t>(until, Forever));
        }
        store->push_back(segment);
        entries.push_back(Entry{Forever, static_cast<unsigned int>(store->size() - 1)});
    }
    firstStart = RecordOf(entries.front()).start;
    // Its record says all a hold, fade or spline has to say.
    if (segment.kind != OrvEnvelopeSegment::Kind::Item)
        delete item;
    Forget();
    return true;
}

const OrvEnvelopeSegment* OrvParameterEnvelope::Segment(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries.size())
        return nullptr;
    return &RecordOf(entries[index]);
}

// The first index whose item answers until `time` or later; the last one always does.
size_t OrvParameterEnvelope::FirstAnswering(unsigned int time) const {
    auto found =
        std::lower_bound(entries.begin(), entries.end() - 1, time,
                         [](const Entry& entry, unsigned int t) { return entry.answersUntil < t; });
    return found - entries.begin();
}

void OrvParameterEnvelope::Seek(unsigned int time) {
    if (entries.empty()) {
        answers = false;
        windowStart = 0;
        windowEnd = Forever;
        return;
    }
    // Playing on into the next item needs no search; any other move (a jump either way, a
    // step over several items, the first evaluation after a change) is one binary search.
    if (time > windowEnd && time <= nextUntil)
        Settle(answers ? cursor + 1 : 0, time);
    else
        Settle(FirstAnswering(time), time);
}

// Makes `index` (which answers at `time`) the cursor, with the stretch it answers for:
// from just after the previous item's last time up to its own.
void OrvParameterEnvelope::Settle(size_t index, unsigned int time) {
    cursor = static_cast<unsigned int>(index);
    if (index == 0 && time < firstStart) {
        answers = false;
        windowStart = 0;
        windowEnd = firstStart - 1;
        nextUntil = entries[0].answersUntil; // the first item is the next one
        return;
    }
    answers = true;
    answering = RecordOf(entries[index]);
    // The previous item stopped before `time`, so adding 1 cannot overflow.
    windowStart = index == 0 ? firstStart : entries[index - 1].answersUntil + 1;
    windowEnd = entries[index].answersUntil;
    // After the last item's window (which lasts for ever) nothing comes.
    nextUntil = index + 1 < entries.size() ? entries[index + 1].answersUntil : 0;
}

// The items changed: the next evaluation searches from scratch. An empty window forces it.
void OrvParameterEnvelope::Forget() {
    answers = false;
    windowStart = 1;
    windowEnd = 0;
    cursor = 0;
    nextUntil = 0;
}
