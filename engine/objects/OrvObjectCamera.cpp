#include "objects/OrvObjectCamera.h"

#include "core/OrvSystemInfo.h"
#include "parameters/OrvParameterInterfaceChild.h"

#include <GL/glew.h>

#include <GL/glu.h>

OrvObjectCamera::OrvObjectCamera() : baseAspect(1) {
    ResetLens();
}

OrvObjectCamera::~OrvObjectCamera() {}

void OrvObjectCamera::ResetLens() {
    fovy = 45;
    aspect = 1;
    nearPlane = 0.01f;
    farPlane = 100;
}

std::string OrvObjectCamera::ParameterName(int index) {
    switch (index) {
    case 0:
        return "fovy";
    case 1:
        return "near";
    case 2:
        return "far";
    case 3:
        return "aspect";
    default:
        return std::string();
    }
}

void OrvObjectCamera::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    // The empty name puts the camera's vectors right after the object's name.
    children.push_back(OrvParameterInterfaceChild("", &camera));
}

void OrvObjectCamera::UpdateParameter(int index, double value) {
    float v = static_cast<float>(value);
    switch (index) {
    case 0:
        // Written so that NaN fails the first test and lands on the lower limit.
        if (!(v >= 1.0f))
            v = 1.0f;
        else if (v > 179.0f)
            v = 179.0f;
        fovy = v;
        break;
    case 1:
        if (!(v >= 0.0001f))
            v = 0.0001f;
        nearPlane = v;
        break;
    case 2:
        farPlane = v;
        break;
    case 3:
        aspect = v;
        break;
    default:
        break;
    }
}

void OrvObjectCamera::Init(OrvScriptNode&) {
    ResetLens();
    OrvSystemInfo* info = OrvSystemInfo::Instance();
    int width = info->SurfaceWidth();
    int height = info->SurfaceHeight();
    // Before the video set-up the size is 0 x 0; 0 / 0 would make every matrix NaN.
    if (width > 0 && height > 0)
        baseAspect = static_cast<float>(static_cast<double>(width) / height);
    else
        baseAspect = 1;
}

void OrvObjectCamera::Draw() {
    // The product of the two floats is formed in double, without rounding it back to float.
    gluPerspective(fovy, static_cast<double>(aspect) * static_cast<double>(baseAspect), nearPlane,
                   farPlane);
    camera.Run();
}

unsigned OrvObjectCamera::Flags() {
    return 1;
}
