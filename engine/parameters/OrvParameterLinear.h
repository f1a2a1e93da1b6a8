#ifndef ORV_PARAMETERS_ORVPARAMETERLINEAR_H
#define ORV_PARAMETERS_ORVPARAMETERLINEAR_H

// A straight fade from `from` at start to `to` at start + duration, then `to` for ever after.
// A duration of 0 is taken as 1 ms, so the slope is always finite.

#include "parameters/IOrvParameterEnvelopeItem.h"

class OrvParameterLinear : public IOrvParameterEnvelopeItem {
public:
    OrvParameterLinear(unsigned int start, unsigned int duration, double from, double to);

    double Value(unsigned int time) override;

private:
    double from;
    double to;
    double slope; // change per millisecond
};

#endif
