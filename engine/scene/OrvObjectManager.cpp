#include "scene/OrvObjectManager.h"

#include "animation/OrvParameterTable.h"

#include "animation/OrvParameterManager.h"
#include "base/IOrvLoadingObserver.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvException.h"
#include "base/OrvSimilarWords.h"
#include "scene/OrvObject.h"
#include "scene/OrvObject3ds.h"
#include "scene/OrvObjectCamera.h"
#include "scene/OrvObjectEnviroment.h"
#include "scene/OrvObjectImage.h"
#include "scene/OrvObjectParticles.h"
#include "scene/OrvObjectVectorImage.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvScriptNode.h"

#include <cstdlib>
#include <memory>

namespace {
// Every class word, for the "Did you mean" of one that is none of them.
const std::vector<std::string> ClassWords = {"image",     "3ds", "camera",   "enviroment",
                                             "particles", "ovi", "duplicate"};
} // namespace

OrvObjectManager::OrvObjectManager(OrvSceneContext& scene) : scene(scene) {}

OrvObjectManager::~OrvObjectManager() {
    for (Entry& entry : entries)
        delete entry.object;
}

void OrvObjectManager::LoadObjects(std::vector<OrvScriptNode*>& nodes,
                                   OrvParameterManager& parameters, IOrvLoadingObserver& observer) {
    for (OrvScriptNode* node : nodes) {
        LoadObject(*node, parameters);
        observer.LoadingProgressed();
    }
}

OrvObject* OrvObjectManager::CreateObject(const std::string& classWord) {
    // One exact comparison per object class, in the order image, 3ds, camera, enviroment,
    // particles, ovi; the first match constructs the object.
    if (classWord == "image")
        return new OrvObjectImage(scene);
    if (classWord == "3ds")
        return new OrvObject3ds(scene);
    if (classWord == "camera")
        return new OrvObjectCamera(scene);
    if (classWord == "enviroment")
        return new OrvObjectEnviroment(scene);
    if (classWord == "particles")
        return new OrvObjectParticles(scene);
    if (classWord == "ovi")
        return new OrvObjectVectorImage(scene);
    return nullptr;
}

OrvObject* OrvObjectManager::DuplicateObject(const OrvScriptNode& node) {
    const std::vector<std::string>& args = node.ArgsRef();
    if (args.size() != 2)
        throw OrvException("Invalid number of arguments when trying to duplicate an object: " +
                           node.Id());
    const std::string& sourceName = args.back();
    OrvObject* source = Object(sourceName);
    if (!source) // only objects declared earlier can be sources
        throw OrvException("Could not duplicate object, because the object name is unknown: " +
                           sourceName);
    OrvObject* copy = source->Duplicate();
    if (!copy)
        throw OrvException("Could not duplicate object, because it does not support duplication: " +
                           sourceName);
    return copy;
}

OrvObject* OrvObjectManager::LoadObject(OrvScriptNode& node, OrvParameterManager& parameters) {
    // What the object's classes and the managers below report is the object's line's.
    OrvDiagnostics::ScopedPlace place(scene.Diagnostics(), OrvDiagnostics::ScriptFile, node.Line());
    const std::string name = node.Id();
    // An empty name would end the enumeration of this manager's switches, leaving every later
    // object impossible to switch on; "image box" without the colon is the usual cause.
    if (name.empty())
        throw OrvException("Object without a name: " + node.ToString());
    const std::vector<std::string>& args = node.ArgsRef();
    if (args.empty())
        throw OrvException("Object without a class word: " + name);

    const std::string& classWord = args[0];
    std::unique_ptr<OrvObject> object;
    if (classWord == "duplicate") {
        // The copy takes over the source's state; its block only gives initial values.
        object.reset(DuplicateObject(node));
    } else {
        object.reset(CreateObject(classWord));
        if (!object)
            throw OrvException(OrvMessageKind::UnknownClass, classWord,
                               "Object class could not be initialized: " + classWord +
                                   OrvSimilarWords::Suggest(classWord, ClassWords));
        object->Init(node); // a raised error drops the object
    }

    object->name = name;
    OrvObject* stored = object.release();
    entries.push_back(Entry{name, stored});

    int firstRecord = parameters.ParameterCount();
    parameters.AddInterface(name, *stored);
    ApplyInitialValues(node, name, parameters, firstRecord);

    // Only the object's own lines count; nested blocks belong to whoever read their head.
    bool unprocessed = false;
    std::vector<std::string> known; // what the block could have said, for a slip of the keys
    for (OrvScriptNode* line : node.Children()) {
        if (line->IsProcessed())
            continue;
        if (!unprocessed)
            known = KnownKeys(*stored, name, parameters, firstRecord);
        scene.Diagnostics().Report(1, OrvMessageKind::LineNotProcessed, line->Id(),
                                   "Error: Line not processed: " + line->ToString() +
                                       OrvSimilarWords::Suggest(line->Id(), known),
                                   OrvDiagnostics::ScriptFile, line->Line());
        unprocessed = true;
    }
    if (unprocessed)
        throw OrvException(
            OrvMessageKind::InitializationFailed, name,
            "Initialization failed due to unidentified parameters in initialization block");
    return stored;
}

std::vector<std::string> OrvObjectManager::KnownKeys(const OrvObject& object,
                                                     const std::string& name,
                                                     const OrvParameterManager& parameters,
                                                     int firstRecord) {
    std::vector<std::string> known = object.KeyWords();
    const std::string prefix = name + ".";
    for (int i = firstRecord; i < parameters.ParameterCount(); ++i) {
        const std::string& full = parameters.FullName(i);
        if (full.compare(0, prefix.size(), prefix) == 0)
            known.push_back(full.substr(prefix.size()));
    }
    return known;
}

void OrvObjectManager::ApplyInitialValues(OrvScriptNode& node, const std::string& name,
                                          OrvParameterManager& parameters, int firstRecord) {
    for (OrvScriptNode* line : node.Children()) {
        const std::vector<std::string>& lineArgs = line->ArgsRef();
        if (line->Id().empty() || lineArgs.empty())
            continue;
        std::string fullName = name + "." + line->Id();
        int record = parameters.FindParameterByName(fullName);
        if (record < 0)
            continue;
        line->SetProcessed();
        // A name lookup always finds the first record; when an earlier object has the same
        // name, that record is the earlier object's. The value must not land on it.
        if (record < firstRecord) {
            scene.Diagnostics().Report(0, OrvMessageKind::InitialValueNotApplied, fullName,
                                       "Warning: Initial value not applied, because an earlier "
                                       "object has the same name: " +
                                           fullName,
                                       OrvDiagnostics::ScriptFile, line->Line());
            continue;
        }
        // Only the first value counts; the parameter manager logs a refused hold itself.
        parameters.AddParameterHold(fullName, 0, std::atof(lineArgs[0].c_str()));
    }
}

int OrvObjectManager::ObjectCount() const {
    return static_cast<int>(entries.size());
}

OrvObject* OrvObjectManager::operator[](int index) const {
    return entries[index].object;
}

const std::string& OrvObjectManager::ObjectName(int index) const {
    return entries[index].name;
}

OrvObject* OrvObjectManager::Object(const std::string& name) const {
    for (const Entry& entry : entries)
        if (entry.name == name)
            return entry.object;
    return nullptr;
}

void OrvObjectManager::DescribeParameters(OrvParameterTable& table) {
    for (Entry& entry : entries)
        table.Switch(entry.name.c_str(), entry.object->enabled);
}
