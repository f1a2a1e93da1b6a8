#include "scene/OrvObjectCamera.h"

#include "scene/OrvCameraEye.h"
#include "scene/OrvDrawPass.h"

#include "animation/OrvParameterInterfaceChild.h"
#include "animation/OrvParameterTable.h"
#include "base/OrvDisplayFacts.h"
#include "scene/OrvSceneContext.h"

#include <epoxy/gl.h>

#include <GL/glu.h>

#include <limits>

OrvObjectCamera::OrvObjectCamera(OrvSceneContext& scene) : OrvObject(scene), baseAspect(1) {
    ResetLens();
}

OrvObjectCamera::~OrvObjectCamera() {}

void OrvObjectCamera::ResetLens() {
    fovy = 45;
    aspect = 1;
    nearPlane = 0.01f;
    farPlane = 100;
}

void OrvObjectCamera::DescribeParameters(OrvParameterTable& table) {
    table.FloatWithin("fovy", fovy, 1.0f, 179.0f);
    table.FloatWithin("near", nearPlane, 0.0001f, std::numeric_limits<float>::infinity());
    table.Float("far", farPlane);
    table.Float("aspect", aspect);
}

void OrvObjectCamera::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    // The empty name puts the camera's vectors right after the object's name.
    children.push_back(OrvParameterInterfaceChild("", &camera));
}

void OrvObjectCamera::Init(OrvScriptNode&) {
    ResetLens();
    int width = Scene().Display().surfaceWidth;
    int height = Scene().Display().surfaceHeight;
    // Before the video set-up the size is 0 x 0; 0 / 0 would make every matrix NaN.
    if (width > 0 && height > 0)
        baseAspect = static_cast<float>(static_cast<double>(width) / height);
    else
        baseAspect = 1;
}

void OrvObjectCamera::Draw(OrvDrawPass& pass) {
    // The lens goes on the projection matrix, not the modelview. Lighting, fog and sphere
    // mapping work in eye space, the modelview's output: with the lens in the modelview, Mesa
    // (which takes the normal matrix from the inverse of the whole 4 x 4 matrix) lengthens
    // every normal by about the eye's distance from the model: a lit model would shine many
    // times too bright, and brighter the further the camera moves away.
    glMatrixMode(GL_PROJECTION);
    // The product of the two floats is formed in double, without rounding it back to float.
    gluPerspective(fovy, static_cast<double>(aspect) * static_cast<double>(baseAspect), nearPlane,
                   farPlane);
    glMatrixMode(GL_MODELVIEW);
    camera.Run();
    // Particles drawn after this camera face its eye.
    pass.eye.position = camera.Position();
    pass.eye.target = camera.Target();
    pass.eye.up = camera.UpVector();
}

unsigned OrvObjectCamera::Flags() {
    return 1;
}
