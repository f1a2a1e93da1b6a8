#ifndef ORV_SCENE_ORVCAMERAEYE_H
#define ORV_SCENE_ORVCAMERAEYE_H

// Where the camera drawn most recently looks from: a camera object writes it when it draws,
// particles read it to face the viewer. The render line manager owns the one a show's passes
// share, and it carries over from pass to pass and frame to frame, so a pass without a
// camera of its own faces particles the way the last camera drawn did. Plain data; all zero
// until a camera draws.

#include "base/OrvVector3.h"

struct OrvCameraEye {
    OrvVector3 position;
    OrvVector3 target;
    OrvVector3 up;
};

#endif
