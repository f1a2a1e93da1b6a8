#ifndef ORV_TESTS_PARAMETERS_ORVRECORDINGINTERFACE_H
#define ORV_TESTS_PARAMETERS_ORVRECORDINGINTERFACE_H

// A parameter interface with names and children given by the test, recording every value it
// receives (-1 until one arrives). Storage is sized up front: receiving never allocates.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterInterfaceChild.h"

class OrvRecordingInterface : public OrvParameterInterface {
public:
    explicit OrvRecordingInterface(std::vector<std::string> names,
                                   std::vector<OrvParameterInterfaceChild> children = {})
        : names(names), children(children), values(names.size(), -1.0), calls(names.size()) {}

    std::string ParameterName(int i) override { return unsigned(i) < names.size() ? names[i] : ""; }
    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& out) override {
        out.insert(out.end(), children.begin(), children.end());
    }
    void UpdateParameter(int i, double value) override {
        values.at(i) = value;
        ++calls[i];
    }

    std::vector<std::string> names;
    std::vector<OrvParameterInterfaceChild> children;
    std::vector<double> values;
    std::vector<int> calls;
};

#endif
