#include "animation/OrvVector3Parameter.h"

#include "animation/OrvParameterTable.h"

OrvVector3Parameter::OrvVector3Parameter() : vector(0, 0, 0) {}

void OrvVector3Parameter::DescribeParameters(OrvParameterTable& table) {
    table.Double("x", vector.x);
    table.Double("y", vector.y);
    table.Double("z", vector.z);
}
