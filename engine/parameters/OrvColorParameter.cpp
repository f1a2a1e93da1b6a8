#include "parameters/OrvColorParameter.h"

OrvColorParameter::OrvColorParameter() : r(0), g(0), b(0), a(0) {}

void OrvColorParameter::Set(float newR, float newG, float newB, float newA) {
    r = newR;
    g = newG;
    b = newB;
    a = newA;
}

std::string OrvColorParameter::ParameterName(int index) {
    switch (index) {
    case 0:
        return "r";
    case 1:
        return "g";
    case 2:
        return "b";
    case 3:
        return "a";
    default:
        return std::string();
    }
}

void OrvColorParameter::UpdateParameter(int index, double value) {
    switch (index) {
    case 0:
        r = static_cast<float>(value);
        break;
    case 1:
        g = static_cast<float>(value);
        break;
    case 2:
        b = static_cast<float>(value);
        break;
    case 3:
        a = static_cast<float>(value);
        break;
    default:
        break;
    }
}
