#ifndef ORV_ANIMATION_ORVPARAMETERFOLLOW_H
#define ORV_ANIMATION_ORVPARAMETERFOLLOW_H

// A parameter that follows a curve (a music source) from start on: the curve's value at the
// position times `scale`, plus `offset`. Like a hold, it lasts 1 ms, so it keeps answering
// until the parameter's next item, which may start right after it; one starting at the same
// time replaces it.
//
// The curve is borrowed and must outlive the item; it may be filled after the item is made
// (the item only reads it when asked). Value allocates nothing.

#include "animation/IOrvParameterEnvelopeItem.h"

class OrvSampledCurve;

class OrvParameterFollow : public IOrvParameterEnvelopeItem {
public:
    OrvParameterFollow(unsigned int start, const OrvSampledCurve& curve, double scale,
                       double offset);

    double Value(unsigned int time) override;

private:
    const OrvSampledCurve& curve;
    double scale;
    double offset;
};

#endif
