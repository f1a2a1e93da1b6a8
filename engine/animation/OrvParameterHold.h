#ifndef ORV_ANIMATION_ORVPARAMETERHOLD_H
#define ORV_ANIMATION_ORVPARAMETERHOLD_H

// A value that holds from start on. Its duration is always 1 ms, so a later item may start
// right after it, and an item that starts at the same time replaces it.
//
// An envelope that accepts one keeps only its Segment() and deletes the item at once.

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeSegment.h"

class OrvParameterHold : public IOrvParameterEnvelopeItem {
public:
    OrvParameterHold(unsigned int start, double value);

    double Value(unsigned int time) override;

    // The same item as a plain record; it answers exactly as the item does.
    const OrvEnvelopeSegment& Segment() const { return segment; }

private:
    explicit OrvParameterHold(const OrvEnvelopeSegment& segment);

    OrvEnvelopeSegment segment;
};

#endif
