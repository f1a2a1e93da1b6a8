#ifndef ORV_CORE_ORVPLAYER_H
#define ORV_CORE_ORVPLAYER_H

// Plays a loaded show in its window: takes each frame's position from the clock it was given,
// handles the keys, keeps the music in step with jumps, sets the caption, has the show draw
// the frame and swaps it to the window.
//
// Run: the clock starts at the show's start position (the header's `jump`), the music is
// sought there and started, then, until the end: every pending window event is handled
// (key releases only: Escape ends, Right jumps sixteen beats forward, Left back, never before
// 0; a closed window ends), and unless the show ended, one Step. After the loop the music
// stops. The music follows the clock and is never asked where it is.
//
// Step: the clock's next frame; the caption "FPS: %.0f / Position: %.1fs" with this frame's
// rate (when two frames fall in the same millisecond the last rate stays); the show's Frame;
// the frame sink, if any, with the frame before it is shown; the swap. It returns false for
// the frame that reached the end position (that frame is still drawn). Allocates nothing.
//
// Ownership: the show, the window and the clock are borrowed and must outlive the player;
// so must the sink. Main thread only.

#include "core/IOrvFrameSink.h"

class IOrvClock;
class OrvShow;
class OrvVideo;

union SDL_Event;

class OrvPlayer {
public:
    OrvPlayer(OrvShow& show, OrvVideo& video, IOrvClock& clock);

    void SetFrameSink(IOrvFrameSink* sink) { this->sink = sink; }

    void Run();
    // The start of Run: the clock and the music at the start position.
    void Start();
    // Applies one window event; false when it ends playing.
    bool HandleEvent(const SDL_Event& event);
    bool Step();
    // Sixteen beats forward or back (never before position 0), then the music is sought to
    // the new position. Without a bpm the step is 0 and only the seek happens.
    void Jump(bool forward);

private:
    OrvShow& show;
    OrvVideo& video;
    IOrvClock& clock;
    IOrvFrameSink* sink;
    double lastRate;
};

#endif
