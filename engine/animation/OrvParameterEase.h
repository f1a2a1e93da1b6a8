#ifndef ORV_ANIMATION_ORVPARAMETEREASE_H
#define ORV_ANIMATION_ORVPARAMETEREASE_H

// An eased move from `from` at start to `to` at start + duration, then `to` for ever after:
// smooth follows t²(3 − 2t) (slow at both ends), ramp t² (slow at the start), t being the
// elapsed part of the duration. A duration of 0 is taken as 1 ms. These are the sync editors'
// smooth and ramp keys, written into the timeline.
//
// An envelope that accepts one keeps only its Segment() and deletes the item at once.

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeSegment.h"

class OrvParameterEase : public IOrvParameterEnvelopeItem {
public:
    OrvParameterEase(unsigned int start, unsigned int duration, double from, double to,
                     bool smooth);

    double Value(unsigned int time) override;

    // The same item as a plain record; it answers exactly as the item does.
    const OrvEnvelopeSegment& Segment() const { return segment; }

private:
    explicit OrvParameterEase(const OrvEnvelopeSegment& segment);

    OrvEnvelopeSegment segment;
};

#endif
