#include "animation/OrvParameterRandom.h"

#include "base/OrvRandom.h"

OrvParameterRandom::OrvParameterRandom(unsigned int itemStart, unsigned int itemDuration,
                                       double bound1, double bound2, OrvRandom& random)
    : IOrvParameterEnvelopeItem(itemStart, itemDuration), random(random),
      min(bound1 < bound2 ? bound1 : bound2), max(bound1 < bound2 ? bound2 : bound1), rolled(false),
      lastValue(0) {}

double OrvParameterRandom::Value(unsigned int) {
    if (duration <= 1 && rolled)
        return lastValue;
    double r = random.Next() / static_cast<double>(OrvRandom::Max);
    lastValue = min + r * (max - min);
    rolled = true;
    return lastValue;
}
