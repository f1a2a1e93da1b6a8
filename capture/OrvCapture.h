#ifndef ORV_CAPTURE_ORVCAPTURE_H
#define ORV_CAPTURE_ORVCAPTURE_H

// One offline capture of the show in the program's folder, start to finish:
//  1. output paths are made absolute (from the folder Capture was started in), ffmpeg is
//     looked up when a video is asked for, and the process moves to its own folder, then
//     into bin/, like Run;
//  2. the script is read; the size is --size or the script's width x height (640 x 480 when
//     missing, as the engine counts it);
//  3. a tiny offscreen window holds the OpenGL context (no display server is needed; with
//     none to be had at all, the platform's reason is the error), the capture's picture
//     becomes the screen
//     (OrvCaptureTarget) and the show is loaded without its music (no sound device is
//     opened; SDL's audio driver is set to the dummy one all the same);
//  4. `from` is --from or the header's jump, `to` is --to or the end command's position (known
//     once the timeline is processed; a show without one needs --to); the output folder is
//     made and checked for writing;
//  5. the sound is written (OrvCaptureAudio; a music file that cannot be read gets the
//     engine's warning "Could not load the music file", as when playing), then the frames are
//     rendered and written side by side (OrvCaptureRenderer, OrvFrameQueue) as PNG files or into
//     ffmpeg;
//  6. with --part K/N only the part's frames and sample frames (OrvCapturePart) are written,
//     named as in the whole capture, and last its part.txt (OrvCapturePartManifest), which a
//     part run again into the same folder removes first. Capture --join is OrvCaptureJoin.
//
// Exit status 0 when everything was written. 1 for anything else, with one line on standard
// error: "Capture: " and what went wrong, or, when reading the script, opening the window or
// loading failed, the engine's error log exactly as Run shows it ("Error: " and the log).
// Warnings of the log (a missing music file) are printed as the engine prints them. A failed
// capture leaves no half-written file under a final name; what was complete stays.
//
// Ownership: owns the show, the window and the outputs for one run; gives back the show's
// OpenGL objects before the window closes. Main thread (plus the queue's writer threads).

#include "OrvCaptureOptions.h"

#include <string>

class OrvCapture {
public:
    static int Run(const OrvCaptureOptions& options);
};

#endif
