#include "scene/OrvCamera.h"

#include "animation/OrvParameterInterfaceChild.h"

#include <epoxy/gl.h>

#include <GL/glu.h>

#include <cmath>

OrvCamera::OrvCamera() : lastValidUp(0, 1, 0) {
    position.vector.Set(0, 0, 10);
    target.vector.Set(0, 0, 0);
    up.vector.Set(0, 1, 0);
}

void OrvCamera::SetPosition(const OrvVector3& newPosition) {
    position.vector = newPosition;
}

void OrvCamera::SetTarget(const OrvVector3& newTarget) {
    target.vector = newTarget;
}

void OrvCamera::SetUpVector(const OrvVector3& newUp) {
    up.vector = newUp;
}

void OrvCamera::Jitter(double dx, double dy) {
    position.vector.x += dx;
    position.vector.y += dy;
}

void OrvCamera::NormalizeUpVector() {
    OrvVector3& v = up.vector;
    double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    // Zero, overflow to infinity and NaN all leave no direction to divide out; dividing anyway
    // would poison the matrix and every particle facing the camera.
    if (!(length > 0.0) || !std::isfinite(length)) {
        v = lastValidUp;
        return;
    }
    v.x /= length;
    v.y /= length;
    v.z /= length;
    lastValidUp = v;
}

void OrvCamera::Run() {
    NormalizeUpVector();
    const OrvVector3& eye = position.vector;
    const OrvVector3& at = target.vector;
    const OrvVector3& u = up.vector;
    gluLookAt(eye.x, eye.y, eye.z, at.x, at.y, at.z, u.x, u.y, u.z);
}

void OrvCamera::ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) {
    children.push_back(OrvParameterInterfaceChild("pos", &position));
    children.push_back(OrvParameterInterfaceChild("lookAt", &target));
    children.push_back(OrvParameterInterfaceChild("up", &up));
}
