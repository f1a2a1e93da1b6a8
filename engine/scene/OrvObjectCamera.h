#ifndef ORV_SCENE_ORVOBJECTCAMERA_H
#define ORV_SCENE_ORVOBJECTCAMERA_H

// The scene object of class word "camera": a perspective lens plus an OrvCamera.
//
// Parameters, in order: 0 "fovy" (vertical field of view in degrees, starts 45, limited to
// 1..179), 1 "near" (starts 0.01, at least 0.0001), 2 "far" (starts 100, no limit), 3 "aspect"
// (a factor on the surface's width / height, starts 1, no limit). Values are stored as float;
// a NaN "fovy" or "near" becomes the lower limit. One child with the empty name, the
// OrvCamera, so its vectors are named directly after the object: "cam.pos.x", "cam.up.y".
//
// Init reads no lines (everything is given as initial parameter values): it resets the lens
// and takes the base aspect ratio, surface width / surface height, from the system
// information (1 while the surface size is not set, instead of a division by zero).
//
// Draw multiplies onto the matrices that are there, without loading the identity or pushing:
// gluPerspective(fovy, aspect * base aspect, near, far) onto the projection matrix, then the
// camera's gluLookAt onto the modelview matrix, which it leaves selected. Render lines load
// identities into both at the start of a frame. Keeping the lens out of the modelview keeps
// eye space a true eye space, so lighting and fog come out the same on every OpenGL (Mesa
// derives normals from the whole modelview matrix). GLU leaves the matrix alone when far
// equals near or the aspect is 0. Draw also publishes the camera vectors in the system
// information.
//
// Flags() is 1: render lines draw it without saving state, so its transform holds for the
// objects after it. No per-frame Update, no Duplicate.
//
// Ownership: the OrvCamera is a member; Camera() and the child pointer live as long as the
// object.

#include "scene/OrvCamera.h"
#include "scene/OrvObject.h"

#include <string>
#include <vector>

class OrvSceneContext;

class OrvObjectCamera : public OrvObject {
public:
    explicit OrvObjectCamera(OrvSceneContext& scene);
    ~OrvObjectCamera() override;

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

    void Init(OrvScriptNode& node) override;
    void Draw(OrvDrawPass& pass) override;
    unsigned Flags() override;

    float FieldOfView() const { return fovy; }
    float NearPlane() const { return nearPlane; }
    float FarPlane() const { return farPlane; }
    float AspectFactor() const { return aspect; }
    float BaseAspectRatio() const { return baseAspect; }
    OrvCamera& Camera() { return camera; }

protected:
    void DescribeParameters(OrvParameterTable& table) override;

private:
    void ResetLens();

    float baseAspect;
    float fovy;
    float aspect;
    float nearPlane;
    float farPlane;
    OrvCamera camera;
};

#endif
