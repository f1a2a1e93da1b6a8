#include "animation/OrvColorParameter.h"

#include "animation/OrvParameterTable.h"

OrvColorParameter::OrvColorParameter() : r(0), g(0), b(0), a(0) {}

void OrvColorParameter::Set(float newR, float newG, float newB, float newA) {
    r = newR;
    g = newG;
    b = newB;
    a = newA;
}

void OrvColorParameter::DescribeParameters(OrvParameterTable& table) {
    table.Float("r", r);
    table.Float("g", g);
    table.Float("b", b);
    table.Float("a", a);
}
