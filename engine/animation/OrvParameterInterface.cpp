#include "animation/OrvParameterInterface.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"

std::string OrvParameterInterface::ParameterName(int index) {
    OrvParameterTable table(OrvParameterTable::NameOf, index);
    DescribeParameters(table);
    return table.Name();
}

void OrvParameterInterface::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>&) {}

void OrvParameterInterface::UpdateParameter(int index, double value) {
    OrvParameterTable table(OrvParameterTable::Store, index, value);
    DescribeParameters(table);
}

bool OrvParameterInterface::ReadParameter(int index, double& value) {
    OrvParameterTable table(OrvParameterTable::Read, index);
    DescribeParameters(table);
    if (!table.Answered())
        return false;
    value = table.Value();
    return true;
}

void OrvParameterInterface::DescribeParameters(OrvParameterTable&) {}

OrvParameterInterface::~OrvParameterInterface() {}
