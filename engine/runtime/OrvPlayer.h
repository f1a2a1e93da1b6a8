#ifndef ORV_RUNTIME_ORVPLAYER_H
#define ORV_RUNTIME_ORVPLAYER_H

// Plays a loaded show in its window: takes each frame's position from the clock it was given,
// handles the keys, keeps the music in step with jumps, sets the caption, has the show draw
// the frame and swaps it to the window.
//
// Run: the clock starts at the show's start position (the header's `jump`), the music is
// sought there and started, then, until the end: every pending window event is handled
// (key releases only: Escape ends, Right jumps sixteen beats forward, Left back, never before
// 0; a closed window or a quit request ends), and unless the show ended, one Step. After the loop
// the music stops. The music follows the clock and is never asked where it is.
//
// Step: one frame through the frame pipeline (OrvFramePipeline: the clock's next frame, the
// show's stages, the outputs, among them the frame sink if any); the caption "FPS: %.0f /
// Position: %.1fs" with this frame's rate (when two frames fall in the same millisecond the
// last rate stays), and " (paused)" while paused, and in debug mode with a bpm " / @BAR.BEAT"
// (four beats a bar, both from 0, as timeline lines write them); the hook's AfterFrame; the swap.
// It returns false for the frame that reached the end position (that frame is still drawn).
// Allocates nothing.
//
// The music stays with the clock: while it plays, each step compares where the sound is
// (OrvMusic::PlayPosition) with the frame's position and seeks the music to the frame's
// position when they differ by more than MaxMusicDrift ms in DriftFrames measurements in a
// row (one late audio callback must not make the sound skip). The clock is never moved.
//
// Debug mode (SetDebug) adds keys: Space pauses and resumes the picture and the music
// together, Home goes back to the show's start (the header's `jump`), Page Up and Page Down
// jump one bar (four beats) back and forth; F5 asks the hook for a reload and F6 to save the
// sync keys.
//
// Ownership: the player owns the show it plays. ReplaceShow hands it another one (a reload):
// from the next frame on that one plays, every hook hears of it (ShowReplaced) while both
// shows are still alive, and then the old one is destroyed. UnloadShow gives the show's
// OpenGL objects back before the window closes. The window, the clock, the display facts and the
// music (the run's, which outlives a reload) are borrowed and must outlive the player; so must the
// sink and the hooks. Main thread only.

#include "runtime/IOrvFrameSink.h"
#include "runtime/IOrvPlayerControl.h"
#include "runtime/IOrvPlayerHook.h"
#include "runtime/OrvFramePipeline.h"

#include <memory>
#include <vector>

class IOrvClock;
class OrvMusic;
class OrvDisplayFacts;
class OrvShow;
class OrvVideo;

struct OrvInputEvent;

class OrvPlayer : public IOrvPlayerControl {
public:
    OrvPlayer(std::unique_ptr<OrvShow> show, OrvVideo& video, IOrvClock& clock,
              const OrvDisplayFacts& display, OrvMusic& music);
    ~OrvPlayer();

    static const int MaxMusicDrift = 20;
    static const int DriftFrames = 3;

    // The one sink a test or tool watches frames with (null: none), an output of the pipeline.
    void SetFrameSink(IOrvFrameSink* sink);
    // More outputs, after the sink, in order.
    OrvFramePipeline& Pipeline() { return pipeline; }
    // Hooks run in the order added (live reload, then a sync editor); borrowed. A hook added
    // hears of the show playing at once (ShowReplaced with no previous show).
    void AddHook(IOrvPlayerHook& hook);
    void RemoveHook(IOrvPlayerHook& hook);
    void SetDebug(bool debug) { this->debug = debug; }
    // On by default; off, the music is only sought on jumps (the engine of old did so).
    void SetMusicCorrection(bool on) { correctMusic = on; }
    void ReplaceShow(std::unique_ptr<OrvShow> next) override;
    // Gives back the show's OpenGL objects while the window is still there; nothing may be
    // played afterwards. The show itself goes with the player.
    void UnloadShow();
    OrvShow& Show() override { return *show; }
    IOrvClock& Clock() { return clock; }
    OrvMusic& Music() override { return music; }
    unsigned Position() const override;
    // The position, never past 2^31 ms, and the music sought there.
    void Seek(unsigned position) override;

    void Run();
    // The start of Run: the clock and the music at the start position.
    void Start();
    // Applies one window event; false when it ends playing.
    bool HandleEvent(const OrvInputEvent& event);
    bool Step();
    // Sixteen beats forward or back (never before position 0), then the music is sought to
    // the new position. Without a bpm the step is 0 and only the seek happens.
    void Jump(bool forward);
    // Moves the position by `deltaMs`, never before 0, and seeks the music there.
    void Move(long long deltaMs);
    void SetPaused(bool paused) override;
    bool Paused() const override;
    void RequestReload() override { reloadRequested = true; }
    // True once after F5 was released in debug mode, or a hook asked.
    bool TakeReloadRequest() override;
    // True once after F6 was released in debug mode.
    bool TakeSaveRequest() override;
    // How often the music was sought to catch up with the clock.
    int MusicCorrections() const { return musicCorrections; }

private:
    void KeepMusicInStep(unsigned position);

    std::unique_ptr<OrvShow> show;
    OrvVideo& video;
    IOrvClock& clock;
    OrvMusic& music;
    OrvFramePipeline pipeline;
    IOrvFrameSink* sink;
    std::vector<IOrvPlayerHook*> hooks; // not owned
    double lastRate;
    bool debug;
    bool reloadRequested;
    bool saveRequested = false;
    bool correctMusic;
    int musicCorrections;
    int driftingFrames;
};

#endif
