#ifndef ORV_SCENE_ORVPARTICLEATTRACTOR_H
#define ORV_SCENE_ORVPARTICLEATTRACTOR_H

// A point that pulls the particles of its system: on every update each particle's velocity
// changes by (attractor - particle) / distance^2 x gravity / 10, so the default gravity 10
// pulls by one over the distance and a negative gravity pushes. Owned by value by
// OrvObjectParticles, which reads it from an "attractor {" block of the script with Init.
//
// Block keys: "pos: x y z" (exactly three numbers, else OrvException "Invalid number of
// arguments for pos (expected 3)"), "gravity: value" (the first number, stored as float; none
// raises "Invalid gravity value"). Any other line raises "Invalid parameter: " and the line.
// Every line read is marked processed. Not animatable: it has no parameters.

#include "base/OrvVector3.h"

class OrvScriptNode;

class OrvParticleAttractor {
public:
    OrvVector3 position; // (0, 0, 0)
    float gravity;       // 10

    OrvParticleAttractor();

    // Reads the lines of the attractor's block over the current values.
    void Init(OrvScriptNode& node);
};

#endif
