#ifndef ORV_ANIMATION_ORVPARAMETERLINEAR_H
#define ORV_ANIMATION_ORVPARAMETERLINEAR_H

// A straight fade from `from` at start to `to` at start + duration, then `to` for ever after:
// from + slope * elapsed with slope = (to - from) / duration. A duration of 0 is taken as
// 1 ms, so the slope is always finite.
//
// An envelope that accepts one keeps only its Segment() and deletes the item at once.

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeSegment.h"

class OrvParameterLinear : public IOrvParameterEnvelopeItem {
public:
    OrvParameterLinear(unsigned int start, unsigned int duration, double from, double to);

    double Value(unsigned int time) override;

    // The same item as a plain record; it answers exactly as the item does.
    const OrvEnvelopeSegment& Segment() const { return segment; }

private:
    explicit OrvParameterLinear(const OrvEnvelopeSegment& segment);

    OrvEnvelopeSegment segment;
};

#endif
