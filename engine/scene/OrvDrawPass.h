#ifndef ORV_SCENE_ORVDRAWPASS_H
#define ORV_SCENE_ORVDRAWPASS_H

// The frame's facts a render line hands every object it draws: the pixel size of the
// viewport the pass draws into, and the eye of the camera drawn most recently (which a camera
// object in the pass updates for the objects after it). Objects take these from here and
// never read them back from OpenGL or from anything shared. Built by the render line for one
// pass and valid only during its draws; it owns nothing.

struct OrvCameraEye;

struct OrvDrawPass {
    int viewportWidth;
    int viewportHeight;
    OrvCameraEye& eye;
};

#endif
