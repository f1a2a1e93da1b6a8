#ifndef ORV_TESTS_OBJECTS_ORVPARTICLETESTSYSTEM_H
#define ORV_TESTS_OBJECTS_ORVPARTICLETESTSYSTEM_H

// Particle systems loaded from script text exactly as the engine loads its objects block
// (the script reader, the object manager's factory, registration and initial values), without
// a window: a block with neither textures nor shaders needs no OpenGL until it is drawn.

#include "animation/OrvParameterManager.h"
#include "base/OrvException.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvObjectParticles.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "support/OrvTestContext.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

class OrvParticleTestSystem {
public:
    // Loads the lines as the objects block and applies the initial values (position 0);
    // returns the last object as a particle system (null when it is not one).
    OrvObjectParticles* Load(const std::string& objectLines) {
        loaders.emplace_back(new OrvAsciiScriptLoader(context.diagnostics));
        std::istringstream in("objects {\n" + objectLines + "\n}\n");
        loaders.back()->Parse(in);
        OrvObject* last = nullptr;
        for (OrvScriptNode* node : loaders.back()->Root()["objects"]->Children())
            last = objects.LoadObject(*node, parameters);
        parameters.UpdateParameters(0);
        return dynamic_cast<OrvObjectParticles*>(last);
    }
    // The text Load raised, or "(nothing raised)".
    std::string LoadError(const std::string& objectLines) {
        try {
            Load(objectLines);
        } catch (const OrvException& error) {
            return error.Message();
        }
        return "(nothing raised)";
    }
    // The value a registered parameter reads back.
    double Read(const std::string& fullName) {
        int record = parameters.FindParameterByName(fullName);
        double value = -12345;
        if (record < 0 || !parameters.ReadValue(record, value))
            ADD_FAILURE() << "no parameter " << fullName;
        return value;
    }

    OrvTestContext context;
    OrvObjectManager objects{context.scene};
    OrvParameterManager parameters{context.diagnostics, context.run.Random()};
    std::vector<std::unique_ptr<OrvAsciiScriptLoader>> loaders;
};

#endif
