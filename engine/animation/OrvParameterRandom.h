#ifndef ORV_ANIMATION_ORVPARAMETERRANDOM_H
#define ORV_ANIMATION_ORVPARAMETERRANDOM_H

// A random value between two bounds, given in either order.
//
// An item of 0 or 1 ms draws once, on its first evaluation, and then keeps that value. A longer
// item draws a fresh value on every evaluation (so every frame while it is the current item).
// Values come from the run's generator, which the item borrows: min + r / 32767 *
// (max - min) with r from 0 to 32767, so both bounds can be reached.

#include "animation/IOrvParameterEnvelopeItem.h"

class OrvRandom;

class OrvParameterRandom : public IOrvParameterEnvelopeItem {
public:
    OrvParameterRandom(unsigned int start, unsigned int duration, double bound1, double bound2,
                       OrvRandom& random);

    double Value(unsigned int time) override;

private:
    OrvRandom& random;
    double min;
    double max;
    bool rolled;
    double lastValue;
};

#endif
