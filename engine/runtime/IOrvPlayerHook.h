#ifndef ORV_RUNTIME_IORVPLAYERHOOK_H
#define ORV_RUNTIME_IORVPLAYERHOOK_H

// What debug mode adds to the player's loop: BeforeFrame runs once per frame before the
// frame is taken from the clock (where a changed file or F5 loads the show again), AfterFrame
// after the show has drawn and before the swap (where the text of errors is drawn over the
// picture). Called on the engine's thread with the context current.

class OrvPlayer;

class IOrvPlayerHook {
public:
    virtual void BeforeFrame(OrvPlayer& player) = 0;
    virtual void AfterFrame(OrvPlayer& player) = 0;

protected:
    ~IOrvPlayerHook() {}
};

#endif
