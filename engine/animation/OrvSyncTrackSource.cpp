#include "animation/OrvSyncTrackSource.h"

#include "animation/OrvParameterManager.h"

std::string OrvSyncTrackSource::TrackName(const std::string& parameter) {
    std::string name = parameter;
    size_t dot = name.find('.');
    if (dot != std::string::npos)
        name[dot] = ':';
    return name;
}

int OrvSyncTrackSource::AddTrack(const std::string& parameter) {
    int known = FindTrack(parameter);
    if (known >= 0)
        return known;
    int record = parameters ? parameters->FindParameterByName(parameter) : -1;
    tracks.push_back(Entry{parameter, OrvSyncTrack(), record});
    return static_cast<int>(tracks.size()) - 1;
}

int OrvSyncTrackSource::FindTrack(const std::string& parameter) const {
    for (size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].parameter == parameter)
            return static_cast<int>(i);
    }
    return -1;
}

void OrvSyncTrackSource::Bind(OrvParameterManager* manager) {
    parameters = manager;
    for (Entry& entry : tracks)
        entry.record = parameters ? parameters->FindParameterByName(entry.parameter) : -1;
}

void OrvSyncTrackSource::ApplyAt(unsigned position) {
    if (!parameters)
        return;
    double value;
    for (const Entry& entry : tracks) {
        if (entry.record >= 0 && entry.keys.ValueAt(position, value))
            parameters->SetValue(entry.record, value);
    }
}
