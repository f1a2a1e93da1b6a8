#include "OrvCapturePartSet.h"

#include <algorithm>

namespace {

std::string Describe(const OrvCapturePartManifest& m) {
    auto n = [](uint64_t value) { return std::to_string(value); };
    return n(m.part.count) + " parts at " + n(m.fpsNumerator) + "/" + n(m.fpsDenominator) +
           " fps, " + n(m.width) + "x" + n(m.height) + ", " + n(m.fromMs) + " to " + n(m.toMs) +
           " ms";
}

std::string Name(const OrvCapturePartManifest& m) {
    return "part " + std::to_string(m.part.index) + "/" + std::to_string(m.part.count);
}

} // namespace

void OrvCapturePartSet::Add(const std::string& folder, const OrvCapturePartManifest& manifest) {
    parts.emplace_back(folder, manifest);
}

std::vector<std::pair<std::string, OrvCapturePartManifest>> OrvCapturePartSet::Ordered() const {
    auto ordered = parts;
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return a.second.part.index < b.second.part.index;
    });
    return ordered;
}

bool OrvCapturePartSet::Check(std::string& error) const {
    if (parts.empty()) {
        error = "Capture: --join needs the folders of the parts";
        return false;
    }
    const auto& first = parts.front();
    for (const auto& other : parts) {
        if (!other.second.SameCapture(first.second) ||
            other.second.part.count != first.second.part.count) {
            error = "Capture: the parts do not fit together: " + other.first +
                    " is of another capture (" + Describe(other.second) + ") than " + first.first +
                    " (" + Describe(first.second) + ")";
            return false;
        }
    }
    auto ordered = Ordered();
    std::string missing;
    unsigned expected = 1;
    for (size_t i = 0; i < ordered.size(); ++i) {
        const OrvCapturePartManifest& m = ordered[i].second;
        if (i > 0 && m.part.index == ordered[i - 1].second.part.index) {
            error = "Capture: the parts do not fit together: " + Name(m) +
                    " is given twice: " + ordered[i - 1].first + " and " + ordered[i].first;
            return false;
        }
        for (; expected < m.part.index; ++expected)
            missing += (missing.empty() ? "" : ", ") + std::to_string(expected);
        expected = m.part.index + 1;
        // Parse made each range the one of its number; checked again so that the join never
        // writes a video with a hole or a repeat, whatever made the manifests.
        if (i > 0 && m.part.index == ordered[i - 1].second.part.index + 1 &&
            (m.part.firstFrame != ordered[i - 1].second.part.endFrame ||
             m.part.firstSample != ordered[i - 1].second.part.endSample)) {
            error = "Capture: the parts do not fit together: " + ordered[i].first + " (" + Name(m) +
                    ") does not start where " + ordered[i - 1].first + " ends";
            return false;
        }
    }
    for (; expected <= first.second.part.count; ++expected)
        missing += (missing.empty() ? "" : ", ") + std::to_string(expected);
    if (!missing.empty()) {
        bool one = missing.find(',') == std::string::npos;
        std::string count = std::to_string(first.second.part.count);
        error = "Capture: the parts do not fit together: " +
                (one ? "part " + missing + " of " + count + " is missing"
                     : "of the " + count + " parts, " + missing + " are missing");
        return false;
    }
    return true;
}
