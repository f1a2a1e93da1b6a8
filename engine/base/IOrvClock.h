#ifndef ORV_BASE_IORVCLOCK_H
#define ORV_BASE_IORVCLOCK_H

// Where a show's playback position comes from. The player asks the clock once per frame
// for the frame's position and for the milliseconds since the previous frame, and shifts
// it on jumps; the clock never looks at the show or at the music.
//
// Two clocks exist: OrvRealTimeClock (the wall clock, for playing live; the only code of the
// engine that reads it) and OrvFixedStepClock (frame n at an exact time, for capture and
// tests). Positions are unsigned 32-bit milliseconds and wrap like them.
//
// The first frame's elapsed time is its distance from position 0 (the show's beginning),
// not from Start: a show that starts at 30 s hands 30000 ms to everything that integrates
// time, like the live engine always did.

class IOrvClock {
public:
    virtual ~IOrvClock() {}

    // Starts counting: the first frame lies at `startMs` (a real-time clock: plus the time
    // that passes before that frame is taken). Forgets earlier shifts.
    virtual void Start(unsigned startMs) = 0;
    // Takes the next frame: its position, and the milliseconds since the previous frame.
    virtual void NextFrame(unsigned& position, unsigned& elapsedMs) = 0;
    // The position now, between frames, with every shift applied.
    virtual unsigned Position() = 0;
    // Moves the position of every later frame by deltaMs (a jump).
    virtual void Shift(int deltaMs) = 0;
    // Paused, every frame keeps the position of the moment of pausing and no time elapses;
    // resumed, the position goes on from there. Start ends a pause.
    virtual void SetPaused(bool paused) = 0;
    virtual bool Paused() const = 0;
};

#endif
