#ifndef ORV_ANIMATION_ORVVECTOR3PARAMETER_H
#define ORV_ANIMATION_ORVVECTOR3PARAMETER_H

// A three-component vector that the timeline can animate, embedded by value in its owner.
// Parameters 0 "x", 1 "y", 2 "z" map to vector.x, vector.y, vector.z, stored unchanged; no
// children. Starts at (0, 0, 0). The owner reads (or sets) vector directly.

#include "animation/OrvParameterInterface.h"
#include "base/OrvVector3.h"

class OrvVector3Parameter : public OrvParameterInterface {
public:
    OrvVector3 vector;

    OrvVector3Parameter();

protected:
    void DescribeParameters(OrvParameterTable& table) override;
};

#endif
