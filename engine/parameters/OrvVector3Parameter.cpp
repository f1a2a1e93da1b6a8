#include "parameters/OrvVector3Parameter.h"

OrvVector3Parameter::OrvVector3Parameter() : vector(0, 0, 0) {}

std::string OrvVector3Parameter::ParameterName(int index) {
    switch (index) {
    case 0:
        return "x";
    case 1:
        return "y";
    case 2:
        return "z";
    default:
        return std::string();
    }
}

void OrvVector3Parameter::UpdateParameter(int index, double value) {
    switch (index) {
    case 0:
        vector.x = value;
        break;
    case 1:
        vector.y = value;
        break;
    case 2:
        vector.z = value;
        break;
    default:
        break;
    }
}
