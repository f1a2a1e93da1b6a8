#include "animation/OrvParameterManager.h"

#include <algorithm>
#include <utility>

#include "animation/OrvParameterCatmullRomSpline.h"
#include "animation/OrvParameterClock.h"
#include "animation/OrvParameterEase.h"
#include "animation/OrvParameterFollow.h"
#include "animation/OrvParameterHold.h"
#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterLinear.h"
#include "animation/OrvParameterRandom.h"
#include "base/OrvDiagnostics.h"

namespace {
const size_t MaxSuggestions = 10;
const float SuggestionThreshold = 0.5f;
} // namespace

OrvParameterManager::OrvParameterManager(OrvDiagnostics& diagnostics, OrvRandom& random)
    : diagnostics(diagnostics), random(random) {}

OrvParameterManager::~OrvParameterManager() {}

void OrvParameterManager::AddInterface(const std::string& prefix, OrvParameterInterface& iface) {
    for (int i = 0;; ++i) {
        std::string name = iface.ParameterName(i);
        if (name.empty())
            break;
        AddRecord(prefix + "." + name, &iface, i);
    }

    std::vector<OrvParameterInterfaceChild> children;
    iface.ChildParameterInterfaces(children);
    for (const OrvParameterInterfaceChild& child : children) {
        if (!child.interface)
            continue;
        if (child.name.empty())
            AddInterface(prefix, *child.interface);
        else
            AddInterface(prefix + "." + child.name, *child.interface);
    }
}

void OrvParameterManager::AddRecord(const std::string& fullName, OrvParameterInterface* owner,
                                    int index) {
    int number = static_cast<int>(records.size());
    records.push_back(
        Record{owner, index, OrvParameterEnvelope(segmentStore, keyValues), false, 0.0});
    names.push_back(fullName);
    // emplace keeps an existing entry: a duplicate name stays with its first record.
    firstRecordByName.emplace(fullName, number);
}

bool OrvParameterManager::AddParameterHold(const std::string& name, unsigned int start,
                                           double value) {
    return AddEnvelopeItem(name, new OrvParameterHold(start, value));
}

bool OrvParameterManager::AddLinearParameterFade(const std::string& name, unsigned int start,
                                                 unsigned int duration, double from, double to) {
    return AddEnvelopeItem(name, new OrvParameterLinear(start, duration, from, to));
}

bool OrvParameterManager::AddCatmullRomSpline(const std::string& name, unsigned int start,
                                              unsigned int duration, double p0, double p1,
                                              double p2, double p3) {
    return AddEnvelopeItem(name, new OrvParameterCatmullRomSpline(start, duration, p0, p1, p2, p3));
}

bool OrvParameterManager::AddRandom(const std::string& name, unsigned int start,
                                    unsigned int duration, double bound1, double bound2) {
    return AddEnvelopeItem(name, new OrvParameterRandom(start, duration, bound1, bound2, random));
}

void OrvParameterManager::ReportUnknownParameter(const std::string& name) {
    ReportUnknown("parameter", name, names);
}

void OrvParameterManager::AddRecordsOf(const OrvParameterManager& other) {
    for (size_t i = 0; i < other.records.size(); ++i)
        AddRecord(other.names[i], other.records[i].owner, other.records[i].index);
}

bool OrvParameterManager::AddEase(const std::string& name, unsigned int start,
                                  unsigned int duration, double from, double to, bool smooth) {
    return AddEnvelopeItem(name, new OrvParameterEase(start, duration, from, to, smooth));
}

bool OrvParameterManager::AddEnvelopeItem(const std::string& name,
                                          IOrvParameterEnvelopeItem* item) {
    if (!item)
        return false;
    int record = FindParameterByName(name);
    if (record < 0) {
        ReportUnknown("parameter", name, names);
        delete item;
        return false;
    }
    if (!records[record].envelope.AddItem(item)) {
        diagnostics.Report(1, OrvMessageKind::EnvelopeOverlap, name,
                           OrvParameterEnvelope::OverlapMessage);
        delete item;
        return false;
    }
    return true;
}

void OrvParameterManager::ReportUnknown(const std::string& what, const std::string& name,
                                        const std::vector<std::string>& pool) {
    std::string message = "Unknown " + what + ": " + name;
    // Once the log is full nobody reads the suggestions; a loop repeating the broken line
    // must not pay a scan of every name per round.
    std::deque<std::string> similar;
    if (!diagnostics.Unread())
        similar = SimilarNames(name, pool);
    if (!similar.empty()) {
        message += "\nDid you mean:\n\n";
        for (size_t i = 0; i < similar.size(); ++i) {
            if (i > 0)
                message += "\n";
            message += similar[i];
        }
    }
    diagnostics.Report(
        1, what == "source" ? OrvMessageKind::UnknownSource : OrvMessageKind::UnknownParameter,
        name, message);
}

void OrvParameterManager::AddFollowSource(const std::string& name, const OrvSampledCurve& curve) {
    if (followSources.emplace(name, &curve).second)
        followSourceNames.push_back(name);
}

bool OrvParameterManager::AddFollow(const std::string& name, unsigned int start,
                                    const std::string& source, double scale, double offset) {
    OrvParameterClock::Source clock;
    if (OrvParameterClock::Find(source, clock)) {
        if (clock != OrvParameterClock::Seconds && !(clockBeatLength > 0)) {
            diagnostics.Report(1, OrvMessageKind::ClockWithoutBpm, source,
                               "Source " + source +
                                   " counts beats, but the header has no bpm above 0");
            return false;
        }
        return AddEnvelopeItem(name,
                               new OrvParameterClock(start, clock, clockBeatLength, scale, offset));
    }
    auto found = followSources.find(source);
    if (found == followSources.end()) {
        std::vector<std::string> known = followSourceNames;
        known.insert(known.end(), OrvParameterClock::Names().begin(),
                     OrvParameterClock::Names().end());
        ReportUnknown("source", source, known);
        return false;
    }
    return AddEnvelopeItem(name, new OrvParameterFollow(start, *found->second, scale, offset));
}

void OrvParameterManager::UpdateParameters(unsigned int position) {
    double value;
    for (Record& record : records) {
        if (record.envelope.GetValue(position, value))
            record.owner->UpdateParameter(record.index, value);
        else if (record.restores)
            record.owner->UpdateParameter(record.index, record.loadedValue);
    }
}

void OrvParameterManager::RememberLoadedValues() {
    PackKeys();
    for (Record& record : records) {
        // Only what the timeline moves needs a way back; a failed read keeps today's
        // behaviour of leaving the parameter alone.
        record.restores = record.envelope.ItemCount() > 0 &&
                          record.owner->ReadParameter(record.index, record.loadedValue);
    }
}

// Every envelope's search keys, one array after the other in registration order, in one block:
// a seek then reads one compact array per parameter, wherever loading put the items.
void OrvParameterManager::PackKeys() {
    size_t total = 0;
    for (const Record& record : records)
        total += record.envelope.KeyCount();
    std::vector<OrvEnvelopeKey> block(total);
    size_t at = 0;
    for (Record& record : records) {
        record.envelope.PackInto(block.data() + at);
        at += record.envelope.KeyCount();
    }
    // Nothing points into an earlier block any more.
    packedKeys.swap(block);
}

bool OrvParameterManager::ReadValue(int record, double& value) const {
    return records[record].owner->ReadParameter(records[record].index, value);
}

int OrvParameterManager::FindParameterByName(const std::string& name) const {
    auto found = firstRecordByName.find(name);
    return found == firstRecordByName.end() ? -1 : found->second;
}

bool OrvParameterManager::ParameterExists(const std::string& name) const {
    return FindParameterByName(name) >= 0;
}

std::deque<std::string> OrvParameterManager::SimiliarParameterNames(const std::string& name) const {
    return SimilarNames(name, names);
}

std::deque<std::string> OrvParameterManager::SimilarNames(const std::string& name,
                                                          const std::vector<std::string>& names) {
    // Only equal bytes at equal positions count: no alignment, no edit distance. The score is
    // single precision, so 3 of 6 is exactly the threshold.
    std::vector<std::pair<float, int>> candidates;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& other = names[i];
        size_t shorter = std::min(name.size(), other.size());
        size_t longer = std::max(name.size(), other.size());
        if (longer == 0)
            continue;
        size_t matches = 0;
        for (size_t k = 0; k < shorter; ++k) {
            if (name[k] == other[k])
                ++matches;
        }
        float score = static_cast<float>(matches) / static_cast<float>(longer);
        if (score >= SuggestionThreshold)
            candidates.emplace_back(score, static_cast<int>(i));
    }
    // Stable, so equal scores keep registration order and a script always gets the same
    // message.
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const std::pair<float, int>& a, const std::pair<float, int>& b) {
                         return a.first > b.first;
                     });

    std::deque<std::string> result;
    for (size_t i = 0; i < candidates.size() && i < MaxSuggestions; ++i)
        result.push_back(names[candidates[i].second]);
    return result;
}
