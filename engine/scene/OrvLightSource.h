#ifndef ORV_SCENE_ORVLIGHTSOURCE_H
#define ORV_SCENE_ORVLIGHTSOURCE_H

// One fixed-function OpenGL light (GL_LIGHT0 + index) whose settings the timeline animates.
//
// Parameters, in order: 0 "enable" (on for any value but 0; the same value is also stored as
// the position's w, so switching a light on makes it positional), 1 "pos.w", 2 "spotExp",
// 3 "spotCutoff", 4 "att.const", 5 "att.linear", 6 "att.quad". Values are stored as float.
// Children, in order: "ambient", "diffuse", "specular" (colours), "position", "spotDir"
// (vectors). Starting values: off, ambient (0, 0, 0, 1), diffuse and specular (1, 1, 1, 1)
// for light 0 and (0, 0, 0, 1) for the others, position (0, 0, 1) with w 0, spot direction
// (0, 0, -1), exponent 0, cutoff 180, attenuation 1, 0, 0.
//
// Use() sends the light to OpenGL: a light that is off is only disabled; one that is on is
// enabled and gets its colours, its position, its cutoff, its spot direction and exponent
// (only when the stored cutoff is not exactly 180) and its three attenuations. OpenGL
// transforms the position and the spot direction by the modelview matrix current at that
// moment. Values OpenGL would refuse (leaving the previous setting and an error behind) are
// brought into its ranges as they are sent, the stored values stay as given: exponent
// 0..128; cutoff 0..90 or 180 (above 90 and below 180 sends 90, above 180 or NaN sends 180,
// below 0 sends 0); attenuations below 0 or NaN send 0.
//
// Copyable (all fields). The value blocks are members: the child pointers live as long as the
// light.

#include "animation/OrvColorParameter.h"
#include "animation/OrvParameterInterface.h"
#include "animation/OrvVector3Parameter.h"

#include <string>
#include <vector>

class OrvLightSource : public OrvParameterInterface {
public:
    // The light is GL_LIGHT0 + index; the caller keeps index within the lights OpenGL has.
    explicit OrvLightSource(int index);

    // Needs a current context.
    void Use();

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    int Index() const { return lightIndex; }
    bool IsEnabled() const { return enabled; }
    float PositionW() const { return positionW; }
    float SpotCutoff() const { return spotCutoff; }

    OrvColorParameter ambient;
    OrvColorParameter diffuse;
    OrvColorParameter specular;
    OrvVector3Parameter position;
    OrvVector3Parameter spotDirection;

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    float positionW;
    float spotExponent;
    float spotCutoff;
    float constantAttenuation;
    float linearAttenuation;
    float quadraticAttenuation;
    bool enabled;
    int lightIndex;
};

#endif
