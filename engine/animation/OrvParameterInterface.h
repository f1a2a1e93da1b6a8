#ifndef ORV_ANIMATION_ORVPARAMETERINTERFACE_H
#define ORV_ANIMATION_ORVPARAMETERINTERFACE_H

// The contract through which anything the script can animate exposes its numeric parameters.
//
// - Parameters are numbered from 0 without gaps. ParameterName gives a non-empty name for every
//   valid number and the empty string for the first number past the end (and for any number
//   the class does not know, negative ones included). The parameter manager stops asking at
//   the first empty name, so a class whose name for 0 is empty has no parameters at all.
// - A name is one element of a dotted parameter path; the manager joins the elements.
// - UpdateParameter uses the same numbering; an unknown number is ignored. Values always
//   arrive as double; a class that stores floats converts them.
// - ReadParameter gives the current value of a parameter, as a value that UpdateParameter
//   would turn back into the same state (a switch reads 1 or 0); false for an unknown number.
//   The engine reads every parameter once loading is done, to know what to return to.
// - ChildParameterInterfaces appends one record per sub-interface. The interfaces it hands out
//   belong to the implementing object (usually members of it) and must live as long as it
//   does: the manager keeps plain pointers to them.
//
// A class declares its parameters once, in DescribeParameters (see OrvParameterTable): the
// defaults of ParameterName, UpdateParameter and ReadParameter answer from that list. The
// defaults describe a class with no parameters and no children. UpdateParameter and
// ReadParameter allocate nothing.

#include <string>
#include <vector>

class OrvParameterInterfaceChild;
class OrvParameterTable;

class OrvParameterInterface {
public:
    virtual std::string ParameterName(int index);
    virtual void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children);
    virtual void UpdateParameter(int index, double value);
    virtual ~OrvParameterInterface();
    virtual bool ReadParameter(int index, double& value);

protected:
    // Lists the parameters in the order of their numbers; by default there are none.
    virtual void DescribeParameters(OrvParameterTable& table);
};

#endif
