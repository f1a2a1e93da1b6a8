#ifndef ORV_CAPTURE_ORVCAPTUREJOIN_H
#define ORV_CAPTURE_ORVCAPTUREJOIN_H

// Capture --join DIR... --video FILE: the parts of one capture (Capture --part K/N, each in
// its folder, from any machines) made into the video that the whole capture would have been.
//  1. each folder's part.txt is read (bounded) and parsed; a folder without one holds no
//     complete part (its task failed or still runs), and the message says so;
//  2. the parts must make one whole capture (OrvCapturePartSet: one rate, size and range,
//     each part once, none missing), and each folder must hold every frame of its range and
//     an audio.wav of exactly its sample frames;
//  3. the sounds are put end to end into one WAV beside the video, the frames are linked in
//     order into a folder beside it, and ffmpeg encodes them (OrvVideoPipe::StartFiles) with
//     the encoder settings of Capture --video; the WAV and the links are removed after.
// Nothing is rendered, so no show, window or OpenGL is needed: only ffmpeg.
//
// Exit status 0 when the video was written; 1 with one line on standard error ("Capture: "
// and what is wrong, naming the folder) for anything else. The video is whole under its
// name or not there. Called by Capture's main; owns nothing past Run.

#include "OrvCaptureOptions.h"

class OrvCaptureJoin {
public:
    static int Run(const OrvCaptureOptions& options);
};

#endif
