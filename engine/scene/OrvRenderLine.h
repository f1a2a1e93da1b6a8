#ifndef ORV_SCENE_ORVRENDERLINE_H
#define ORV_SCENE_ORVRENDERLINE_H

// One render pass: every frame it updates and draws its list of scene objects, either into
// the window or into an off-screen framebuffer whose colour and depth land in named textures
// of the texture manager (that is how later passes read what this one drew).
//
// Script keys of a line's block (any order; anything else is ignored):
//   output name [width height]  colour into the RGBA texture `name`; width x height when both
//                               are given (atoi), else the surface size. Without a name the
//                               key is ignored.
//   depthOutput name            depth into the depth texture `name`, of the same size as the
//                               colour buffer (the surface size when there is no output, which
//                               makes a depth-only pass).
//   objects name ...            draw only these objects; exclude name ...: never these.
//                               A repeated key replaces the earlier list.
// The draw list keeps the object manager's order, whatever the order of the names. A name of
// either list that is no object is left out, with the warning (at the key's line)
//   "Unknown object in render line " + line name + ": " + the name, and "Did you mean" with
//   the object names that look alike (OrvSimilarWords).
//
// Errors raised (OrvException) while building, so a line is never silently unusable:
//   "depthOutput without a texture name in render line: " + line name
//   "Buffer size is not positive in render line: " + line name
//   "Incomplete framebuffer in render line " + line name + ": " + status constant name
//   "Buffer of render line " + line name + " was resized to " + WxH + " by another render line"
//   plus the texture manager's errors for buffer names that are not "*" names.
//
// Each frame (driven by OrvRenderLineManager::Render, after its Simulate has updated every
// object once): Draw. UpdateObjects updates the line's own
// objects, for a line drawn on its own. A screen line clears the whole window to the clear colour
// and then the letterbox bars around its fitted viewport to black, keeping the scissor on that
// viewport while its objects draw, so the bars stay black. (Clearing the whole window at once and
// only the thin bars under a scissor is much cheaper for a software renderer than a scissored clear
// of the picture.) A buffer line clears its whole buffer to the clear colour. Both clear depth
// and stencil. OpenGL state touched: the bound framebuffer (0 again after FinishFrame),
// viewport, scissor box and test (off after FinishFrame), clear colour, both matrices (loaded
// with identity; GL_MODELVIEW selected), and whatever objects with Flags() 1 set.
// The per-frame path allocates nothing.
//
// The clear colour is the child interface "clear": parameters <line>.clear.r, .g, .b, .a,
// all 0 until animated. The line has no parameters of its own.
//
// Ownership: the objects belong to the object manager, the textures to the texture manager;
// the line holds plain pointers and handles. Its framebuffer and renderbuffer are its own:
// the destructor deletes them, so a line must be destroyed while its context is current.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterInterface.h"
#include "gfx/OrvFramebuffer.h"

#include <deque>
#include <string>
#include <vector>

class OrvObject;
class OrvObjectManager;
struct OrvCameraEye;
class OrvParameterInterfaceChild;
class OrvScriptNode;

class OrvSceneContext;

class OrvRenderLine : public OrvParameterInterface {
public:
    // The line belongs to the show whose scene it is given (its textures and display facts).
    explicit OrvRenderLine(OrvSceneContext& scene);
    ~OrvRenderLine() override;
    OrvRenderLine(const OrvRenderLine&) = delete;
    OrvRenderLine& operator=(const OrvRenderLine&) = delete;

    // Builds the line once: applies every key, picks the objects, creates the buffer and
    // checks it. Needs the current OpenGL context when the line has a buffer.
    void Init(OrvScriptNode& node, OrvObjectManager& objects);
    // Raises when the buffer is no longer usable: an attached texture resized by another
    // line, or the framebuffer incomplete. Nothing to check for a screen line.
    void CheckBuffer() const;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    // Applies one key; false for keys that are not applied (unknown ones, output without name).
    virtual bool InitNode(OrvScriptNode& key);
    // Update(elapsedMs) on every listed object, enabled or not.
    virtual void UpdateObjects(unsigned elapsedMs);
    // One pass: prepare the target (bind, viewport, clear), draw the enabled objects of the
    // list in order, release the target. Objects other than Flags() 1 draw between a save and
    // a restore of the modelview matrix and all attribute groups. The eye is the one the
    // show's passes share: a camera in the list moves it for the objects after it.
    void Draw(OrvCameraEye& eye);

    const std::string& Name() const { return name; }
    bool IsBuffer() const { return buffer; }
    // -1 for a screen line: the surface size applies.
    int Width() const { return width; }
    int Height() const { return height; }
    unsigned ColorTexture() const { return colorTexture; }
    unsigned DepthTexture() const { return depthTexture; }
    const OrvFramebuffer& Framebuffer() const { return framebuffer; }
    int DrawListSize() const { return static_cast<int>(drawList.size()); }
    OrvObject* DrawListObject(int index) const { return drawList[index]; }
    OrvColorParameter& ClearColor() { return clear; }

private:
    static bool Contains(const std::deque<std::string>& names, const std::string& name);
    void ReportUnknownObjects(const OrvScriptNode& node, const OrvObjectManager& objects);
    void BuildBuffer();

    OrvSceneContext& scene;
    std::string name;
    std::deque<OrvObject*> drawList; // not owned
    OrvColorParameter clear;
    bool buffer;
    OrvFramebuffer framebuffer;
    unsigned colorTexture;
    unsigned depthTexture;
    int width;
    int height;
    std::deque<std::string> includeList;
    std::deque<std::string> excludeList;
    bool depthRequested;
    std::string depthName;
};

#endif
