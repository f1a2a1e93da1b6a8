#ifndef ORV_RUNTIME_IORVPLAYERCONTROL_H
#define ORV_RUNTIME_IORVPLAYERCONTROL_H

// What a hook on the player's loop (IOrvPlayerHook: live reload, a sync editor) may do with
// the player: read and move the position (the music follows), pause and resume picture and
// music together, ask for and take a reload, take a request to save the sync keys, and hand the
// player another show. Implemented by OrvPlayer; called on the engine's thread between frames.

#include <memory>

class OrvMusic;
class OrvShow;

class IOrvPlayerControl {
public:
    // The position of the last frame taken from the clock, in ms.
    virtual unsigned Position() const = 0;
    // Moves the position there and seeks the music to it.
    virtual void Seek(unsigned position) = 0;
    virtual bool Paused() const = 0;
    virtual void SetPaused(bool paused) = 0;
    // Asks for the show to be loaded again; TakeReloadRequest is true once after that (or
    // after F5 in debug mode).
    virtual void RequestReload() = 0;
    virtual bool TakeReloadRequest() = 0;
    // True once after the sync keys were asked to be saved (F6 in debug mode).
    virtual bool TakeSaveRequest() = 0;
    // The show playing now, and another one to play from the next frame on (a reload); the
    // player owns it, tells every hook, then destroys the one it replaced.
    virtual OrvShow& Show() = 0;
    virtual void ReplaceShow(std::unique_ptr<OrvShow> show) = 0;
    // The run's music, which a reload may have to load again.
    virtual OrvMusic& Music() = 0;

protected:
    ~IOrvPlayerControl() {}
};

#endif
