#ifndef ORV_ANIMATION_ORVPARAMETERCLOCK_H
#define ORV_ANIMATION_ORVPARAMETERCLOCK_H

// A parameter that follows the show's clock from start on, like a follow item of a music
// source: the clock's value at the position times `scale`, plus `offset`, lasting 1 ms so
// the parameter's next item takes over after it. The clock sources, by name:
//   clock.seconds                     the position in seconds
//   clock.beats                       beats since the start at the header's bpm (fractional)
//   clock.beatPhase, clock.barPhase   where the position is within its beat, its bar of four
//                                     beats: 0 on the beat (bar), rising to 1 just before the
//                                     next
//   PHASE.sine                        0.5 - 0.5 cos(2 pi phase): 0 on the beat (bar), 1
//                                     halfway, smoothly back to 0 (clock.beatPhase.sine)
//   PHASE.triangle                    1 - |2 phase - 1|: the same rise and fall in straight
//                                     lines (clock.barPhase.triangle)
// Every source but clock.seconds needs a beat length above 0. Value allocates nothing.

#include "animation/IOrvParameterEnvelopeItem.h"

#include <string>
#include <vector>

class OrvParameterClock : public IOrvParameterEnvelopeItem {
public:
    enum Source {
        Seconds,
        Beats,
        BeatPhase,
        BarPhase,
        BeatSine,
        BarSine,
        BeatTriangle,
        BarTriangle
    };

    // Every clock source's name, in the order of Source.
    static const std::vector<std::string>& Names();
    // The source of that name; false when it is none.
    static bool Find(const std::string& name, Source& source);
    // The source's value at `position` ms with beats of `beatLength` ms.
    static double At(Source source, unsigned position, double beatLength);

    OrvParameterClock(unsigned int start, Source source, double beatLength, double scale,
                      double offset);

    double Value(unsigned int time) override;

private:
    Source source;
    double beatLength;
    double scale;
    double offset;
};

#endif
