#ifndef ORV_ANIMATION_ORVRANGEPARAMETER_H
#define ORV_ANIMATION_ORVRANGEPARAMETER_H

// A pair of bounds that the timeline can animate, embedded by value in its owner.
// Parameters 0 "min", 1 "max", stored unchanged; no children. Both start at 0.
// The block never reorders the two: a min above max is kept as given, and the owner decides
// what that means.

#include "animation/OrvParameterInterface.h"

class OrvRangeParameter : public OrvParameterInterface {
public:
    double min;
    double max;

    OrvRangeParameter();

    void Set(double min, double max);

protected:
    void DescribeParameters(OrvParameterTable& table) override;
};

#endif
