#ifndef ORV_ANIMATION_ORVCOLORPARAMETER_H
#define ORV_ANIMATION_ORVCOLORPARAMETER_H

// An RGBA colour that the timeline can animate, embedded by value in its owner.
// Parameters 0 "r", 1 "g", 2 "b", 3 "a"; no children. Values arrive as double and are stored
// rounded to float. All four components start at 0. The owner reads the fields directly.

#include "animation/OrvParameterInterface.h"

class OrvColorParameter : public OrvParameterInterface {
public:
    float r;
    float g;
    float b;
    float a;

    OrvColorParameter();

    void Set(float r, float g, float b, float a);

protected:
    void DescribeParameters(OrvParameterTable& table) override;
};

#endif
