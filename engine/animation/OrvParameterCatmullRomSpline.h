#ifndef ORV_ANIMATION_ORVPARAMETERCATMULLROMSPLINE_H
#define ORV_ANIMATION_ORVPARAMETERCATMULLROMSPLINE_H

// One uniform Catmull-Rom segment: p1 at start, p2 at start + duration (and ever after), with
// p0 and p3 as the neighbouring control points that set the tangents. A duration of 0 is
// taken as 1 ms.
//
// An envelope that accepts one keeps only its Segment() and deletes the item at once.

#include "animation/IOrvParameterEnvelopeItem.h"
#include "animation/OrvEnvelopeSegment.h"

class OrvParameterCatmullRomSpline : public IOrvParameterEnvelopeItem {
public:
    OrvParameterCatmullRomSpline(unsigned int start, unsigned int duration, double p0, double p1,
                                 double p2, double p3);

    double Value(unsigned int time) override;

    // The same item as a plain record; it answers exactly as the item does.
    const OrvEnvelopeSegment& Segment() const { return segment; }

private:
    explicit OrvParameterCatmullRomSpline(const OrvEnvelopeSegment& segment);

    OrvEnvelopeSegment segment;
};

#endif
