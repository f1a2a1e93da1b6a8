#ifndef ORV_ANIMATION_ORVPARAMETERINTERFACECHILD_H
#define ORV_ANIMATION_ORVPARAMETERINTERFACECHILD_H

// One named sub-interface of a parameter interface: a plain copyable record.
//
// name is the path element under which the child's parameters appear; the empty string puts
// them directly at the parent's level. interface is NOT owned: it belongs to the object that
// reported the child and must live as long as that object.

#include <string>

class OrvParameterInterface;

class OrvParameterInterfaceChild {
public:
    std::string name;
    OrvParameterInterface* interface;

    // Empty name, null interface.
    OrvParameterInterfaceChild();
    // A null name counts as the empty name.
    OrvParameterInterfaceChild(const char* name, OrvParameterInterface* interface);
    // For names built at run time, such as "light[2]".
    OrvParameterInterfaceChild(const std::string& name, OrvParameterInterface* interface);
};

#endif
