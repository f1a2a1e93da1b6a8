#include "animation/OrvParameterLinear.h"

OrvParameterLinear::OrvParameterLinear(unsigned int itemStart, unsigned int itemDuration,
                                       double fromValue, double toValue)
    : OrvParameterLinear(OrvEnvelopeSegment::Linear(itemStart, itemDuration, fromValue, toValue)) {}

OrvParameterLinear::OrvParameterLinear(const OrvEnvelopeSegment& flat)
    : IOrvParameterEnvelopeItem(flat.start, flat.duration), segment(flat) {}

double OrvParameterLinear::Value(unsigned int time) {
    return segment.Value(time);
}
