#ifndef ORV_PARAMETERS_ORVPARAMETERHOLD_H
#define ORV_PARAMETERS_ORVPARAMETERHOLD_H

// A value that holds from start on. Its duration is always 1 ms, so a later item may start
// right after it, and an item that starts at the same time replaces it.

#include "parameters/IOrvParameterEnvelopeItem.h"

class OrvParameterHold : public IOrvParameterEnvelopeItem {
public:
    OrvParameterHold(unsigned int start, double value);

    double Value(unsigned int time) override;
    // The value it holds, without being asked for a time.
    double HeldValue() const { return value; }

private:
    double value;
};

#endif
