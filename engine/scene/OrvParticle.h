#ifndef ORV_SCENE_ORVPARTICLE_H
#define ORV_SCENE_ORVPARTICLE_H

// One particle of a particle system: a plain value, copied by value. OrvParticleEmitter makes
// them, OrvObjectParticles moves, ages, sorts and removes them, OrvParticleBatch draws them.
// The record holds no pointers and owns nothing.

#include "base/OrvVector3.h"

#include <cstdint>

struct OrvParticle {
    OrvVector3 position;  // world units
    OrvVector3 velocity;  // units per second
    double lifeTime;      // seconds; 0 or less: the particle never expires
    double age;           // seconds lived; grows only while lifeTime > 0
    double airResistance; // share of the velocity lost per update
    float r;
    float g;
    float b;
    float a;
    float size;           // half the side of the drawn square
    int textureIndex;     // into the system's textures; -1 draws untextured
    double elasticity;    // factor on a velocity component that hits a wall of the box
    double rotation;      // degrees about the viewing axis
    double rotationSpeed; // degrees per second
    int64_t sortKey;      // squared distance to the camera in 1/10000 units (sorted drawing)
    int sortIndex;        // place in the pool when the keys were made: equal keys keep it
};

#endif
