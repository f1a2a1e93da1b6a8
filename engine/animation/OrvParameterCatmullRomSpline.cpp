#include "animation/OrvParameterCatmullRomSpline.h"

OrvParameterCatmullRomSpline::OrvParameterCatmullRomSpline(unsigned int itemStart,
                                                           unsigned int itemDuration, double c0,
                                                           double c1, double c2, double c3)
    : OrvParameterCatmullRomSpline(
          OrvEnvelopeSegment::CatmullRom(itemStart, itemDuration, c0, c1, c2, c3)) {}

OrvParameterCatmullRomSpline::OrvParameterCatmullRomSpline(const OrvEnvelopeSegment& flat)
    : IOrvParameterEnvelopeItem(flat.start, flat.duration), segment(flat) {}

double OrvParameterCatmullRomSpline::Value(unsigned int time) {
    return segment.Value(time);
}
