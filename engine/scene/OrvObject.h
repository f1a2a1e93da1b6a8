#ifndef ORV_SCENE_ORVOBJECT_H
#define ORV_SCENE_ORVOBJECT_H

// The base of every scene object: something the script declares in its objects block, that
// exposes numeric parameters for the timeline and draws itself with OpenGL.
//
// Contract for object classes:
// - Init reads the lines of the object's block that the class knows, marks each of them
//   processed, and raises OrvException when the object cannot be set up. The name is still
//   empty while Init runs: the manager assigns it afterwards.
// - Draw issues the OpenGL calls for one frame. Render lines call it only while the object
//   is enabled, with GL_MODELVIEW selected, and (unless Flags() is 1) between a save and a
//   restore of the modelview matrix and of all attribute groups. The pass says how large the
//   viewport is and where the last camera looks from; objects never read these back from
//   OpenGL.
// - Update receives the milliseconds since the previous frame, once per frame for every
//   object a render line lists, whether or not it is enabled. It must not allocate.
// - Flags() 1 marks a state-setting object (camera, environment): its Draw runs without the
//   save and restore, so the matrices, lights and fog it sets apply to the objects after it.
// - Duplicate returns a new copy that the caller owns, or null when the class cannot be copied.
//
// Every object belongs to one show: it is built with the show's scene context (its textures,
// shaders, data folder, diagnostics and display facts), keeps a reference to it and never
// outlives it; a copy belongs to the same show.
//
// The name and the enabled flag belong to the object manager: only it assigns the name
// (after Init or Duplicate) and switches the flag (through its parameters). Both start empty
// and false, so an object the timeline never switches on is never drawn. Copying an object
// copies both.

#include "animation/OrvParameterInterface.h"

#include <string>
#include <vector>

class OrvSceneContext;
struct OrvDrawPass;
class OrvScriptNode;

class OrvObject : public OrvParameterInterface {
public:
    explicit OrvObject(OrvSceneContext& scene);
    OrvObject(const OrvObject& other);
    OrvObject& operator=(const OrvObject& other);
    ~OrvObject() override;

    virtual void Init(OrvScriptNode& node) = 0;
    virtual void Draw(OrvDrawPass& pass) = 0;
    // Does nothing by default.
    virtual void Update(unsigned elapsedMs);
    // 0 by default; only the value 1 has a meaning (see above).
    virtual unsigned Flags();
    // Null by default: the class cannot be duplicated.
    virtual OrvObject* Duplicate();
    // The keys of its block that the class's Init reads (not its parameters), for the
    // "Did you mean" of a key nobody read. None by default.
    virtual std::vector<std::string> KeyWords() const { return {}; }

    const std::string& Name() const { return name; }
    bool IsEnabled() const { return enabled; }
    OrvSceneContext& Scene() const { return *scene; }

private:
    friend class OrvObjectManager;

    OrvSceneContext* scene; // not owned
    std::string name;
    bool enabled;
};

#endif
