#include "scene/OrvParticleAttractor.h"

#include "base/OrvException.h"
#include "script/OrvScriptNode.h"

#include <cstdlib>

OrvParticleAttractor::OrvParticleAttractor() : position(0, 0, 0), gravity(10) {}

void OrvParticleAttractor::Init(OrvScriptNode& node) {
    for (OrvScriptNode* line : node.Children()) {
        const std::vector<std::string>& args = line->ArgsRef();
        if (line->IdEquals("pos")) {
            if (args.size() != 3)
                throw OrvException("Invalid number of arguments for pos (expected 3)");
            position.Set(std::atof(args[0].c_str()), std::atof(args[1].c_str()),
                         std::atof(args[2].c_str()));
        } else if (line->IdEquals("gravity")) {
            if (args.empty())
                throw OrvException("Invalid gravity value");
            gravity = static_cast<float>(std::atof(args[0].c_str()));
        } else {
            throw OrvException("Invalid parameter: " + line->ToString());
        }
        line->SetProcessed();
    }
}
