#include "animation/OrvRangeParameter.h"

#include "animation/OrvParameterTable.h"

OrvRangeParameter::OrvRangeParameter() : min(0), max(0) {}

void OrvRangeParameter::Set(double newMin, double newMax) {
    min = newMin;
    max = newMax;
}

void OrvRangeParameter::DescribeParameters(OrvParameterTable& table) {
    table.Double("min", min);
    table.Double("max", max);
}
