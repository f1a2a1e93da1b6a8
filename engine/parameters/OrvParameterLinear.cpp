#include "parameters/OrvParameterLinear.h"

OrvParameterLinear::OrvParameterLinear(unsigned int itemStart, unsigned int itemDuration,
                                       double fromValue, double toValue)
    : IOrvParameterEnvelopeItem(itemStart, itemDuration == 0 ? 1 : itemDuration), from(fromValue),
      to(toValue), slope((toValue - fromValue) / duration) {}

double OrvParameterLinear::Value(unsigned int time) {
    unsigned int elapsed = time - start;
    // Exactly `to` from the end on, rather than from + slope * duration with its rounding.
    if (elapsed < duration)
        return from + slope * elapsed;
    return to;
}
