#include "animation/OrvParameterHold.h"

OrvParameterHold::OrvParameterHold(unsigned int itemStart, double heldValue)
    : OrvParameterHold(OrvEnvelopeSegment::Hold(itemStart, heldValue)) {}

OrvParameterHold::OrvParameterHold(const OrvEnvelopeSegment& flat)
    : IOrvParameterEnvelopeItem(flat.start, flat.duration), segment(flat) {}

double OrvParameterHold::Value(unsigned int time) {
    return segment.Value(time);
}
