#include "animation/OrvParameterClock.h"

#include <cmath>

const std::vector<std::string>& OrvParameterClock::Names() {
    static const std::vector<std::string> names = {"clock.seconds",
                                                   "clock.beats",
                                                   "clock.beatPhase",
                                                   "clock.barPhase",
                                                   "clock.beatPhase.sine",
                                                   "clock.barPhase.sine",
                                                   "clock.beatPhase.triangle",
                                                   "clock.barPhase.triangle"};
    return names;
}

bool OrvParameterClock::Find(const std::string& name, Source& source) {
    const std::vector<std::string>& names = Names();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            source = static_cast<Source>(i);
            return true;
        }
    }
    return false;
}

double OrvParameterClock::At(Source source, unsigned position, double beatLength) {
    if (source == Seconds)
        return position * 0.001;
    if (!(beatLength > 0))
        return 0.0;
    const double pi = 3.14159265358979323846;
    double beats = position / beatLength;
    double beatPhase = beats - std::floor(beats);
    double barPhase = beats / 4 - std::floor(beats / 4);
    switch (source) {
    case Beats:
        return beats;
    case BeatPhase:
        return beatPhase;
    case BarPhase:
        return barPhase;
    case BeatSine:
        return 0.5 - 0.5 * std::cos(2 * pi * beatPhase);
    case BarSine:
        return 0.5 - 0.5 * std::cos(2 * pi * barPhase);
    case BeatTriangle:
        return 1 - std::fabs(2 * beatPhase - 1);
    case BarTriangle:
        return 1 - std::fabs(2 * barPhase - 1);
    case Seconds:
        break;
    }
    return 0.0;
}

OrvParameterClock::OrvParameterClock(unsigned int itemStart, Source itemSource,
                                     double itemBeatLength, double itemScale, double itemOffset)
    : IOrvParameterEnvelopeItem(itemStart, 1), source(itemSource), beatLength(itemBeatLength),
      scale(itemScale), offset(itemOffset) {}

double OrvParameterClock::Value(unsigned int time) {
    return At(source, time, beatLength) * scale + offset;
}
