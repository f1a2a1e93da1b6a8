#include "parameters/OrvParameterInterface.h"

#include "parameters/OrvParameterInterfaceChild.h"

std::string OrvParameterInterface::ParameterName(int) {
    return std::string();
}

void OrvParameterInterface::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>&) {}

void OrvParameterInterface::UpdateParameter(int, double) {}

OrvParameterInterface::~OrvParameterInterface() {}
