#include "animation/OrvSyncTrack.h"

#include "animation/OrvEnvelopeSegment.h"

#include <algorithm>

namespace {
bool RowBefore(const OrvSyncTrack::Key& key, unsigned row) {
    return key.row < row;
}
} // namespace

void OrvSyncTrack::SetKey(unsigned row, unsigned time, double value, Type type) {
    auto at = std::lower_bound(keys.begin(), keys.end(), row, RowBefore);
    if (at != keys.end() && at->row == row)
        *at = Key{row, time, value, type};
    else
        keys.insert(at, Key{row, time, value, type});
    cursor = 0;
}

void OrvSyncTrack::DeleteKey(unsigned row) {
    auto at = std::lower_bound(keys.begin(), keys.end(), row, RowBefore);
    if (at != keys.end() && at->row == row)
        keys.erase(at);
    cursor = 0;
}

void OrvSyncTrack::Clear() {
    keys.clear();
    cursor = 0;
}

bool OrvSyncTrack::ValueAt(unsigned position, double& value) const {
    size_t count = keys.size();
    if (count == 0)
        return false;
    if (position < keys[0].time) {
        value = keys[0].value;
        return true;
    }
    // The last key at or before the position: where the last frame was, the one after it, or
    // a binary search.
    size_t at = cursor < count ? cursor : 0;
    bool inside = keys[at].time <= position && (at + 1 == count || keys[at + 1].time > position);
    if (!inside && at + 1 < count && keys[at + 1].time <= position &&
        (at + 2 == count || keys[at + 2].time > position)) {
        ++at;
        inside = true;
    }
    if (!inside) {
        auto after = std::upper_bound(keys.begin(), keys.end(), position,
                                      [](unsigned p, const Key& key) { return p < key.time; });
        at = static_cast<size_t>(after - keys.begin()) - 1;
    }
    cursor = at;
    const Key& key = keys[at];
    if (at + 1 == count || key.type == Type::Step) {
        value = key.value;
        return true;
    }
    const Key& next = keys[at + 1];
    unsigned elapsed = position - key.time;
    unsigned duration = next.time - key.time;
    if (key.type == Type::Linear) {
        if (elapsed < duration)
            value = OrvEnvelopeSegment::FadeValue(
                key.value, OrvEnvelopeSegment::FadeSlope(key.value, next.value, duration), elapsed);
        else
            value = next.value;
    } else {
        value = OrvEnvelopeSegment::EaseValue(key.type == Type::Smooth, key.value, next.value,
                                              elapsed, duration);
    }
    return true;
}
