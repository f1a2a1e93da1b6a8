#ifndef ORV_RUNTIME_IORVPLAYERHOOK_H
#define ORV_RUNTIME_IORVPLAYERHOOK_H

// What debug mode adds to the player's loop: BeforeFrame runs once per frame before the
// frame is taken from the clock (where a changed file or F5 loads the show again, or a sync
// editor's messages are read), AfterFrame after the show has drawn and before the swap (where
// the text of errors is drawn over the picture, or the new row is told to the editor). A
// player may have several hooks; each is called in the order they were added. Called on the
// engine's thread with the context current; hooks see the player only through its control.
//
// ShowReplaced tells a hook which show it now plays along with: once when it is added
// (`previous` null) and after every replacement, while the replaced show is still alive, so
// a hook can let go of what it gave that show before it is destroyed. A hook never keeps a
// show of its own.

class IOrvPlayerControl;
class OrvShow;

class IOrvPlayerHook {
public:
    virtual void BeforeFrame(IOrvPlayerControl& player) = 0;
    virtual void AfterFrame(IOrvPlayerControl& player) = 0;
    virtual void ShowReplaced(IOrvPlayerControl& player, OrvShow* previous) = 0;

protected:
    ~IOrvPlayerHook() {}
};

#endif
