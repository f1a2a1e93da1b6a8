#ifndef ORV_SCENE_ORVRENDERLINEMANAGER_H
#define ORV_SCENE_ORVRENDERLINEMANAGER_H

// The render passes of the show, in script order, which is the order of drawing.
//
// Use: Init with the object manager (whose objects must all be loaded before the lines are),
// LoadRenderLines with the children of the script's renderLines block, then, once per frame,
// Simulate with the milliseconds since the previous frame and Render. Each line is registered
// with the parameter manager under its own name (duplicate names are accepted; the first one
// animates).
//
// Render runs, per line: save the modelview matrix, prepare the target, draw, release the
// target, restore the matrix, glFlush. The passes share one camera eye, which the manager
// keeps from frame to frame: a particle system in a pass without a camera faces the way the
// last camera drawn looked. Neither allocates. Outside Render the screen's
// framebuffer is bound.
//
// Ownership: the manager owns its lines and deletes them with itself. The object manager is
// not owned and must outlive the manager's use. Pointers handed out by LoadRenderLine and
// operator[] are borrowed: valid while the manager lives. Errors are raised as OrvException
// (see OrvRenderLine); a line whose Init raised is not kept.

#include "scene/OrvCameraEye.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

class OrvObject;
class OrvObjectManager;
class OrvParameterManager;
class OrvRenderLine;
class OrvSceneContext;
class OrvScriptNode;

class OrvRenderLineManager {
public:
    // The lines are made in the given show's scene.
    explicit OrvRenderLineManager(OrvSceneContext& scene);
    ~OrvRenderLineManager();
    OrvRenderLineManager(const OrvRenderLineManager&) = delete;
    OrvRenderLineManager& operator=(const OrvRenderLineManager&) = delete;

    // Remembers where the lines find their objects.
    void Init(OrvObjectManager& objects);
    // LoadRenderLine for each node in order; then checks every buffer again, since a later
    // line may have resized a texture that an earlier one draws into.
    void LoadRenderLines(std::vector<OrvScriptNode*>& nodes, OrvParameterManager& parameters);
    OrvRenderLine* LoadRenderLine(OrvScriptNode& node, OrvParameterManager& parameters);

    // The simulate stage: every object of the object manager updated once by the elapsed time,
    // in the order the lines first list them, then the objects no line lists, in load order.
    // An object listed by several lines moves once a frame, not once a line.
    void Simulate(unsigned elapsedMs);
    // The render passes, in order (see above).
    void Render();
    // Simulate, then Render.
    void RenderAll(unsigned elapsedMs);

    int LineCount() const { return static_cast<int>(lines.size()); }
    // The caller keeps 0 <= index < LineCount().
    OrvRenderLine* operator[](int index) const { return lines[index].second; }
    const std::string& LineName(int index) const { return lines[index].first; }

private:
    OrvSceneContext& scene;
    void OrderSimulation();

    OrvCameraEye eye; // the last camera drawn, carried from pass to pass and frame to frame

    OrvObjectManager* objects;                                // not owned
    std::vector<OrvObject*> simulated;                        // every object once, not owned
    std::deque<std::pair<std::string, OrvRenderLine*>> lines; // lines owned
};

#endif
