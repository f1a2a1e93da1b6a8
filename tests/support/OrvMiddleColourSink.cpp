#include "support/OrvMiddleColourSink.h"

#include <epoxy/gl.h>

void OrvMiddleColourSink::FrameDrawn(const Frame& frame) {
    position = frame.position;
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(frame.viewport.x + frame.viewport.width / 2,
                 frame.viewport.y + frame.viewport.height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixel);
    middle = OrvRgba{pixel[0], pixel[1], pixel[2], 255};
}
