#ifndef ORV_TESTS_SUPPORT_ORVPARTICLEQUADDRAW_H
#define ORV_TESTS_SUPPORT_ORVPARTICLEQUADDRAW_H

// The plain way of drawing a particle system, one matrix and one camera-facing quad per
// particle in pool order: what the batched drawing must match pixel for pixel (a test) and
// what it is measured against (the particle benchmark). Draws with the blend, depth and
// lighting state the caller set; binds each particle's texture through OrvGlState.

#include "base/OrvVector3.h"

class OrvObjectParticles;

void OrvDrawEachParticle(const OrvObjectParticles& fx, const OrvVector3& camera,
                         const OrvVector3& up);

#endif
