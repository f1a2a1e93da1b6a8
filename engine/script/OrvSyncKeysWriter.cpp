#include "script/OrvSyncKeysWriter.h"

#include "animation/OrvSyncTrackSource.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
std::string Seconds(unsigned milliseconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", milliseconds / 1000, milliseconds % 1000);
    return text;
}
} // namespace

std::string OrvSyncKeysWriter::Number(double value) {
    if (!std::isfinite(value))
        return "0";
    // A double's exact decimal expansion ends within 1074 fractional digits; the values an
    // editor sends are floats, whose expansion ends within 149, and most need a handful.
    char text[1500];
    for (int digits = 0; digits <= 1074; ++digits) {
        std::snprintf(text, sizeof text, "%.*f", digits, value);
        if (std::strtod(text, nullptr) == value)
            break;
    }
    std::string number = text;
    if (number == "-0")
        number = "0";
    return number;
}

std::string OrvSyncKeysWriter::Text(const OrvSyncTrackSource& tracks, int& skipped) {
    skipped = 0;
    std::string text = "# Sync keys, written by the sync editor's save. Timeline lines:\n"
                       "# holds, fades, smooth and ramp eases; times in seconds.\n";
    for (int track = 0; track < tracks.TrackCount(); ++track) {
        const std::vector<OrvSyncTrack::Key>& keys = tracks.Track(track).Keys();
        if (keys.empty())
            continue;
        if (!tracks.Bound(track)) {
            ++skipped;
            continue;
        }
        const std::string& name = tracks.Parameter(track);
        text += "\n# " + OrvSyncTrackSource::TrackName(name) + "\n";
        if (keys[0].time > 0)
            text += "0.000 " + name + " = " + Number(keys[0].value) + "\n";
        for (size_t i = 0; i < keys.size(); ++i) {
            const OrvSyncTrack::Key& key = keys[i];
            bool last = i + 1 == keys.size();
            if (!last && keys[i + 1].time == key.time)
                continue;
            text += Seconds(key.time) + " " + name + " = ";
            if (last || key.type == OrvSyncTrack::Type::Step) {
                text += Number(key.value) + "\n";
                continue;
            }
            const OrvSyncTrack::Key& next = keys[i + 1];
            if (key.type == OrvSyncTrack::Type::Smooth)
                text += "smooth ";
            else if (key.type == OrvSyncTrack::Type::Ramp)
                text += "ramp ";
            text += Number(key.value) + " to " + Number(next.value) + " in " +
                    Seconds(next.time - key.time) + "\n";
        }
    }
    return text;
}

bool OrvSyncKeysWriter::Write(const std::string& path, const std::string& text) {
    std::string temporary = path + ".saving";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
