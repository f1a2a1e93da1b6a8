#include "animation/OrvParameterEase.h"

OrvParameterEase::OrvParameterEase(unsigned int itemStart, unsigned int itemDuration,
                                   double fromValue, double toValue, bool smooth)
    : OrvParameterEase(
          OrvEnvelopeSegment::Ease(itemStart, itemDuration, fromValue, toValue, smooth)) {}

OrvParameterEase::OrvParameterEase(const OrvEnvelopeSegment& flat)
    : IOrvParameterEnvelopeItem(flat.start, flat.duration), segment(flat) {}

double OrvParameterEase::Value(unsigned int time) {
    return segment.Value(time);
}
