#ifndef ORV_SCENE_ORVOBJECTENVIROMENT_H
#define ORV_SCENE_ORVOBJECTENVIROMENT_H

// The scene object of class word "enviroment": switches OpenGL lighting and fog, and owns the
// eight fixed-function lights.
//
// Parameters, in order: 0 "lighting" (on for any value but 0), 1 "fog" (on when the value
// truncated toward zero is not 0, so 0.7 is off), 2 "fogDensity" (starts 0.3). Children, in
// order: "ambient" (starts (0.2, 0.2, 0.2, 1); registered for the timeline but never sent to
// OpenGL), "fogColor" (starts (0, 0, 0, 0)), then "light[0]" to "light[7]", the
// OrvLightSource objects. Full names look like "env.light[2].position.x", "env.fogColor.g".
//
// Init reads no lines: it resets the switches and the fog and creates the eight lights. It
// runs once, before the object is registered (the manager's order): the light pointers handed
// out by ChildParameterInterfaces stay valid from then on, as long as the object lives.
//
// Draw: with lighting on, enables GL_LIGHTING and sends every light in index order
// (OrvLightSource::Use); with lighting off it only disables GL_LIGHTING and leaves the lights
// as they are. With fog on: GL_FOG enabled, mode GL_EXP2, the fog colour, the density (a
// negative one, which OpenGL would refuse, is sent as 0) and the GL_NICEST fog hint; with fog
// off GL_FOG is disabled. Light positions go through the modelview matrix current at the
// draw, so drawn after a camera they are in the same space as the objects after it.
//
// Flags() is 1: render lines draw it without saving state, so what it sets holds for the
// objects after it and stays in OpenGL until an environment changes it. No per-frame Update,
// no Duplicate.

#include "animation/OrvColorParameter.h"
#include "scene/OrvLightSource.h"
#include "scene/OrvObject.h"

#include <string>
#include <vector>

class OrvSceneContext;

class OrvObjectEnviroment : public OrvObject {
public:
    static const int kLightCount = 8;

    explicit OrvObjectEnviroment(OrvSceneContext& scene);
    ~OrvObjectEnviroment() override;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    void Init(OrvScriptNode& node) override;
    void Draw(OrvDrawPass& pass) override;
    unsigned Flags() override;

    bool LightingOn() const { return lighting; }
    bool FogOn() const { return fog; }
    float FogDensity() const { return fogDensity; }
    int LightCount() const { return static_cast<int>(lights.size()); }
    // The caller keeps 0 <= index < LightCount(). Borrowed: lives as long as the object.
    OrvLightSource& Light(int index) { return lights[index]; }

    OrvColorParameter ambient;
    OrvColorParameter fogColor;

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    std::vector<OrvLightSource> lights;
    bool lighting;
    bool fog;
    float fogDensity;
};

#endif
