#include "animation/OrvParameterFollow.h"

#include "animation/OrvSampledCurve.h"

OrvParameterFollow::OrvParameterFollow(unsigned int itemStart, const OrvSampledCurve& source,
                                       double itemScale, double itemOffset)
    : IOrvParameterEnvelopeItem(itemStart, 1), curve(source), scale(itemScale), offset(itemOffset) {
}

double OrvParameterFollow::Value(unsigned int time) {
    return curve.ValueAt(time) * scale + offset;
}
