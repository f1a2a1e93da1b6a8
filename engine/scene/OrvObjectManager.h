#ifndef ORV_SCENE_ORVOBJECTMANAGER_H
#define ORV_SCENE_ORVOBJECTMANAGER_H

// Builds the scene objects from the script's objects block and owns them for the engine's life.
//
// For each object node (identifier = the object's name, first argument = the class word) the
// manager constructs the object, lets it read its block (Init), names it, appends it to its
// list, registers it with the parameter manager under its name, turns the block's remaining
// "identifier value" lines into holds at time 0 and rejects lines nobody understood.
//
// The manager is itself a parameter interface: parameter i is named after object i and
// switches it on (any value but 0) or off (0). The engine registers it under "objects", so
// the timeline switches objects through "objects.<name>".
//
// Ownership: the manager owns every object it lists and deletes them, in list order, with
// itself. Pointers returned by LoadObject, operator[] and Object are borrowed: valid while the
// manager lives. The list only grows; an object's position never changes.
// Errors are raised as OrvException with the exact message texts given in the source.

#include "animation/OrvParameterInterface.h"

#include <deque>
#include <string>
#include <vector>

class IOrvLoadingObserver;
class OrvObject;
class OrvParameterManager;
class OrvSceneContext;
class OrvScriptNode;

class OrvObjectManager : public OrvParameterInterface {
public:
    // The objects are made in the given show's scene, and what loading them reports goes to
    // its diagnostics.
    explicit OrvObjectManager(OrvSceneContext& scene);
    ~OrvObjectManager() override;
    OrvObjectManager(const OrvObjectManager&) = delete;
    OrvObjectManager& operator=(const OrvObjectManager&) = delete;

    // LoadObject for each node in order, then one observer.LoadingProgressed(). The first
    // raised error ends the loading; the objects loaded before it stay.
    void LoadObjects(std::vector<OrvScriptNode*>& nodes, OrvParameterManager& parameters,
                     IOrvLoadingObserver& observer);
    // Builds, initialises, names, stores and registers one object. Never returns null: every
    // failure raises. An object whose block has unprocessed lines is stored and registered
    // before the error is raised.
    OrvObject* LoadObject(OrvScriptNode& node, OrvParameterManager& parameters);

    int ObjectCount() const;
    // The caller keeps 0 <= index < ObjectCount().
    OrvObject* operator[](int index) const;
    const std::string& ObjectName(int index) const;
    // The first object in load order whose name is exactly `name`; null if none.
    OrvObject* Object(const std::string& name) const;

protected:
    // Parameter i is named after object i (so the list ends after the last object) and
    // enables it for any value other than 0.0, disables it for 0.0.
    void DescribeParameters(OrvParameterTable& table) override;

    // The factory: a new object of the class the word selects, owned by the caller, or null
    // when no class has that word. Words compare exactly (case-sensitive). "duplicate" never
    // reaches it.
    virtual OrvObject* CreateObject(const std::string& classWord);

private:
    OrvSceneContext& scene;
    struct Entry {
        std::string name;
        OrvObject* object; // owned
    };

    OrvObject* DuplicateObject(const OrvScriptNode& node);
    // The keys the object's class reads and the names of its parameters after "NAME.".
    static std::vector<std::string> KnownKeys(const OrvObject& object, const std::string& name,
                                              const OrvParameterManager& parameters,
                                              int firstRecord);
    void ApplyInitialValues(OrvScriptNode& node, const std::string& name,
                            OrvParameterManager& parameters, int firstRecord);

    std::deque<Entry> entries;
};

#endif
