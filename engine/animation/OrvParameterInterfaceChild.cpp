#include "animation/OrvParameterInterfaceChild.h"

OrvParameterInterfaceChild::OrvParameterInterfaceChild() : interface(nullptr) {}

OrvParameterInterfaceChild::OrvParameterInterfaceChild(const char* childName,
                                                       OrvParameterInterface* child)
    : name(childName ? childName : ""), interface(child) {}

OrvParameterInterfaceChild::OrvParameterInterfaceChild(const std::string& childName,
                                                       OrvParameterInterface* child)
    : name(childName), interface(child) {}
