#include "parameters/OrvParameterHold.h"

OrvParameterHold::OrvParameterHold(unsigned int itemStart, double heldValue)
    : IOrvParameterEnvelopeItem(itemStart, 1), value(heldValue) {}

double OrvParameterHold::Value(unsigned int) {
    return value;
}
