#include "animation/OrvParameterEnvelope.h"

const char* const OrvParameterEnvelope::OverlapMessage =
    "Envelope defined already to this section of time";

#include <algorithm>
#include <cstring>
#include <limits>
#include <typeinfo>

#include "animation/OrvParameterCatmullRomSpline.h"
#include "animation/OrvParameterEase.h"
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
    if (type == typeid(OrvParameterEase))
        return static_cast<OrvParameterEase&>(item).Segment();
    if (type == typeid(OrvParameterCatmullRomSpline))
        return static_cast<OrvParameterCatmullRomSpline&>(item).Segment();
    return OrvEnvelopeSegment::ForItem(item);
}

void DeleteItemOf(const OrvEnvelopeSegment& segment) {
    if (segment.kind == OrvEnvelopeSegment::Kind::Item)
        delete segment.item;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
} // namespace

OrvParameterEnvelope::OrvParameterEnvelope()
    : windowStart(0), windowEnd(Forever), answer(Answer::Nothing), answerStart(0), answerValue(0),
      answerSlope(0), cursor(0), nextEnd(0), keyData(nullptr), keyCount(0), store(nullptr),
      values(nullptr) {
    // No items: every time is inside the window and gives no value.
}

OrvParameterEnvelope::OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& sharedStore)
    : OrvParameterEnvelope() {
    store = &sharedStore;
}

OrvParameterEnvelope::OrvParameterEnvelope(std::vector<OrvEnvelopeSegment>& sharedStore,
                                           OrvEnvelopeValues& sharedValues)
    : OrvParameterEnvelope() {
    store = &sharedStore;
    values = &sharedValues;
}

OrvParameterEnvelope::~OrvParameterEnvelope() {
    for (int i = 0; i < ItemCount(); ++i)
        DeleteItemOf(RecordOf(i));
}

OrvParameterEnvelope::OrvParameterEnvelope(OrvParameterEnvelope&& other) noexcept
    : windowStart(other.windowStart), windowEnd(other.windowEnd), answer(other.answer),
      answerStart(other.answerStart), answerValue(other.answerValue),
      answerSlope(other.answerSlope), cursor(other.cursor), nextEnd(other.nextEnd),
      keyData(other.keyData), keyCount(other.keyCount), store(other.store), values(other.values),
      items(std::move(other.items)) {
    // The source is left as a new, empty envelope: on the shared store and table if there
    // are, else without (its own went with the items). The keys' array, the own one included,
    // stays where it is.
    if (items && items->ownStore)
        other.store = nullptr;
    if (items && items->ownValues)
        other.values = nullptr;
    other.windowStart = 0;
    other.windowEnd = Forever;
    other.answer = Answer::Nothing;
    other.cursor = 0;
    other.nextEnd = 0;
    other.keyData = nullptr;
    other.keyCount = 0;
}

uint64_t OrvParameterEnvelope::EndOf(size_t item) const {
    // In 64 bits: start + duration may pass the 32-bit range of times.
    const OrvEnvelopeSegment& record = RecordOf(item);
    return uint64_t(record.start) + record.duration;
}

bool OrvParameterEnvelope::AddItem(IOrvParameterEnvelopeItem* item) {
    if (!item)
        return false;
    uint64_t start = item->Start();
    size_t count = ItemCount();

    // A 1 ms item (a hold, say) followed by one at the same start is a correction of it.
    bool replaces = false;
    // End of the last item; an end past the 32-bit range must not wrap round and let an
    // overlapping item in.
    uint64_t lastEnd = 0;
    if (count > 0) {
        const OrvEnvelopeSegment& last = RecordOf(count - 1);
        replaces = last.duration == 1 && last.start == start;
        lastEnd = EndOf(count - 1);
    }
    // Starting exactly at the end is fine; starting inside the last item's span is not.
    if (!replaces && start < lastEnd) {
        return false;
    }

    if (!items)
        items = std::make_unique<Items>();
    if (!store) {
        items->ownStore = std::make_unique<std::vector<OrvEnvelopeSegment>>();
        store = items->ownStore.get();
    }
    if (!values) {
        items->ownValues = std::make_unique<OrvEnvelopeValues>();
        values = items->ownValues.get();
    }
    Unpack();
    OrvEnvelopeSegment segment = SegmentFor(*item);
    if (replaces) {
        // The item before keeps answering up to the same time, as the start is the same.
        OrvEnvelopeSegment& last = (*store)[items->slots.back()];
        DeleteItemOf(last);
        last = segment;
        RemoveLastItemKeys();
    } else {
        store->push_back(segment);
        items->slots.push_back(static_cast<unsigned int>(store->size() - 1));
    }
    AddKeys(segment, items->slots.back());
    keyData = items->ownKeys.data();
    keyCount = static_cast<unsigned int>(items->ownKeys.size());
    // Its record says all a hold, fade or spline has to say.
    if (segment.kind != OrvEnvelopeSegment::Kind::Item)
        delete item;
    Forget();
    return true;
}

// The keys of the last item, `record` at `slot` in the store, which answers from just after
// the item before it.
void OrvParameterEnvelope::AddKeys(const OrvEnvelopeSegment& record, unsigned int slot) {
    using Kind = OrvEnvelopeKey::Kind;
    std::vector<OrvEnvelopeKey>& keys = items->ownKeys;
    size_t item = items->slots.size() - 1;
    items->lastItemKeys = keys.size();

    uint64_t start = record.start;
    uint64_t from = start;
    if (item > 0) {
        // The item before answers up to its end, or up to just before this one starts.
        uint64_t previousEnd = EndOf(item - 1);
        from = std::max(start, previousEnd + 1);
    }
    if (from > Forever)
        return; // it is never reached
    uint64_t end = start + record.duration;

    if (record.kind == OrvEnvelopeSegment::Kind::Hold) {
        keys.emplace_back(static_cast<uint32_t>(from), Kind::Hold,
                          values->IndexOf(record.values[0]));
        return;
    }
    // A fade needs a key at its end, where it turns into a hold of its `to`. One that ends
    // past the last millisecond, and every other kind, answers from its record.
    if (record.kind != OrvEnvelopeSegment::Kind::Linear || end > Forever) {
        keys.emplace_back(static_cast<uint32_t>(from), Kind::Record, slot);
        return;
    }
    double fadeFrom = record.values[0];
    // When the item before answers at the fade's start too, the fade has the time after it,
    // which may be nothing.
    if (from < end) {
        if (from == start) {
            keys.emplace_back(static_cast<uint32_t>(from), Kind::Fade, values->IndexOf(fadeFrom));
        } else if (!keys.empty() && keys.back().Time() == start &&
                   keys.back().KindOf() == Kind::Hold &&
                   SameBits(values->Value(keys.back().Index()), fadeFrom) &&
                   SameBits(fadeFrom + record.values[2] * 0u, fadeFrom)) {
            // The item before ends here with exactly what the fade starts from, and gives at
            // its start: as in a tracker, one key ends the one and starts the other. (Such a
            // fade lasts 2 ms or more, so it is never replaced and never has to give the key
            // back.)
            keys.back().SetKind(Kind::Fade);
        } else {
            keys.emplace_back(static_cast<uint32_t>(from), Kind::LateFade,
                              values->IndexOf(fadeFrom));
        }
    }
    keys.emplace_back(static_cast<uint32_t>(end), Kind::Hold, values->IndexOf(record.values[1]));
}

// Only a 1 ms item is replaced, and that never shares a key with the item before: its keys are
// all its own.
void OrvParameterEnvelope::RemoveLastItemKeys() {
    std::vector<OrvEnvelopeKey>& keys = items->ownKeys;
    keys.erase(keys.begin() + items->lastItemKeys, keys.end());
}

void OrvParameterEnvelope::Pack() {
    if (!items)
        return;
    Unpack();
    items->ownKeys.shrink_to_fit();
    keyData = items->ownKeys.data();
}

void OrvParameterEnvelope::PackInto(OrvEnvelopeKey* place) {
    if (!items)
        return;
    std::copy(keyData, keyData + keyCount, place);
    keyData = place;
    items->packed = true;
    std::vector<OrvEnvelopeKey>().swap(items->ownKeys);
}

// Takes the keys back from the block they were packed into, so that they can change.
void OrvParameterEnvelope::Unpack() {
    if (!items->packed)
        return;
    items->ownKeys.assign(keyData, keyData + keyCount);
    keyData = items->ownKeys.data();
    items->packed = false;
}

const OrvEnvelopeSegment* OrvParameterEnvelope::Segment(int index) const {
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return &RecordOf(index);
}

void OrvParameterEnvelope::Seek(unsigned int time) {
    if (keyCount == 0) {
        answer = Answer::Nothing;
        windowStart = 0;
        windowEnd = Forever;
        return;
    }
    size_t key;
    if (time > windowEnd && time <= nextEnd) {
        // Playing on into the next key needs no search.
        key = answer == Answer::Nothing ? 0 : cursor + 1;
    } else {
        // Any other move (a jump either way, a step over several keys, the first evaluation
        // after a change) is one binary search for the last key at or before `time`.
        const OrvEnvelopeKey* after =
            std::upper_bound(keyData, keyData + keyCount, time,
                             [](unsigned int t, const OrvEnvelopeKey& k) { return t < k.Time(); });
        if (after == keyData) {
            // Before the first key there is no value; the first key is the next one.
            answer = Answer::Nothing;
            cursor = 0;
            windowStart = 0;
            windowEnd = keyData[0].Time() - 1; // `time` is before it
            nextEnd = keyCount > 1 ? keyData[1].Time() - 1 : Forever;
            return;
        }
        key = after - keyData - 1;
    }

    // The key answers from its time up to the time before the next key. Keys have strictly
    // increasing times, so subtracting 1 cannot wrap.
    const OrvEnvelopeKey& at = keyData[key];
    cursor = static_cast<unsigned int>(key);
    windowStart = at.Time();
    windowEnd = key + 1 < keyCount ? keyData[key + 1].Time() - 1 : Forever;
    // After the last key's window (which lasts for ever) nothing comes.
    if (key + 2 < keyCount)
        nextEnd = keyData[key + 2].Time() - 1;
    else
        nextEnd = key + 1 < keyCount ? Forever : 0;

    switch (at.KindOf()) {
    case OrvEnvelopeKey::Kind::Hold:
        answer = Answer::Value;
        answerValue = values->Value(at.Index());
        break;
    case OrvEnvelopeKey::Kind::Fade:
    case OrvEnvelopeKey::Kind::LateFade: {
        // The next key is the fade's end: these are the fade's own numbers, so its slope and
        // values come out with the same bits as its record's. The window ends before the fade.
        unsigned int start = at.Time() - (at.KindOf() == OrvEnvelopeKey::Kind::LateFade ? 1 : 0);
        const OrvEnvelopeKey& end = keyData[key + 1];
        answer = Answer::Fade;
        answerStart = start;
        answerValue = values->Value(at.Index());
        answerSlope = OrvEnvelopeSegment::FadeSlope(answerValue, values->Value(end.Index()),
                                                    end.Time() - start);
        break;
    }
    case OrvEnvelopeKey::Kind::Record:
        answer = Answer::Record;
        answerStart = at.Index();
        break;
    }
}

// The keys changed or moved: the next evaluation searches from scratch. An empty window
// forces it.
void OrvParameterEnvelope::Forget() {
    answer = Answer::Nothing;
    windowStart = 1;
    windowEnd = 0;
    cursor = 0;
    nextEnd = 0;
}
