#ifndef ORV_SCENE_ORVCAMERA_H
#define ORV_SCENE_ORVCAMERA_H

// The viewing transform of a camera object: an eye position, a point looked at and an up
// vector, each an animatable vector block.
//
// Parameters: none of its own. Children, in order: "pos" (starts (0, 0, 10)), "lookAt"
// (starts (0, 0, 0)) and "up" (starts (0, 1, 0)), each with "x", "y", "z".
//
// Run() normalises the up vector in place (the stored parameter values change), multiplies
// gluLookAt onto OpenGL's CURRENT matrix (it neither selects a matrix nor loads the identity)
// and nothing else: the camera object publishes the vectors to its show's scene.
//
// An up vector without a direction (length zero, or a length that is not a finite number)
// cannot be normalised: the camera then uses, and stores back, the last up vector it could
// normalise, which is (0, 1, 0) until one has been. So an up vector animated through zero
// never sends NaN into the matrices or to the particle systems.
//
// Ownership: the three blocks are members; the pointers handed out by
// ChildParameterInterfaces live as long as the camera. Copying copies all vectors.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvVector3Parameter.h"
#include "base/OrvVector3.h"

#include <vector>

class OrvCamera : public OrvParameterInterface {
public:
    OrvCamera();

    void SetPosition(const OrvVector3& position);
    void SetTarget(const OrvVector3& target);
    void SetUpVector(const OrvVector3& up);
    // Moves the eye by dx along x and dy along y.
    void Jitter(double dx, double dy);

    // Applies the camera to the current matrix and publishes it (see above). Needs a context.
    void Run();

    const OrvVector3& Position() const { return position.vector; }
    const OrvVector3& Target() const { return target.vector; }
    const OrvVector3& UpVector() const { return up.vector; }

    void ChildParameterInterfaces(std::vector<OrvParameterInterfaceChild>& children) override;

private:
    void NormalizeUpVector();

    OrvVector3Parameter position;
    OrvVector3Parameter target;
    OrvVector3Parameter up;
    OrvVector3 lastValidUp; // unit length
};

#endif
