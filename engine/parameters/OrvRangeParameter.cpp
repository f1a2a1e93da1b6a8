#include "parameters/OrvRangeParameter.h"

OrvRangeParameter::OrvRangeParameter() : min(0), max(0) {}

void OrvRangeParameter::Set(double newMin, double newMax) {
    min = newMin;
    max = newMax;
}

std::string OrvRangeParameter::ParameterName(int index) {
    switch (index) {
    case 0:
        return "min";
    case 1:
        return "max";
    default:
        return std::string();
    }
}

void OrvRangeParameter::UpdateParameter(int index, double value) {
    switch (index) {
    case 0:
        min = value;
        break;
    case 1:
        max = value;
        break;
    default:
        break;
    }
}
