#ifndef ORV_BASE_ORVREALTIMECLOCK_H
#define ORV_BASE_ORVREALTIMECLOCK_H

// The clock of live playing: the system's monotonic clock in milliseconds. The position of a tick
// count t is
//   (t - startTicks) + offset        (unsigned 32-bit arithmetic, wrapping)
// where Start(s) puts startTicks s ms before the current tick, and Shift adds to the offset.
// Before Start, startTicks and the offset are 0, so a position is the tick count itself.
// The first frame's elapsed time runs from startTicks, as the interface says. While paused
// the position stands still; resuming moves startTicks on by the time spent paused.
//
// This is the only class of the engine that reads the wall clock; it needs nothing started.
// Copyable; owns nothing.

#include "base/IOrvClock.h"

class OrvRealTimeClock : public IOrvClock {
public:
    OrvRealTimeClock();

    void Start(unsigned startMs) override;
    void NextFrame(unsigned& position, unsigned& elapsedMs) override;
    unsigned Position() override;
    void Shift(int deltaMs) override;
    void SetPaused(bool paused) override;
    bool Paused() const override { return paused; }

    // The position at tick count `ticks` (no tick is read).
    unsigned PositionAt(unsigned ticks) const;

    // The tick counter now: for the few places outside the player that must measure real
    // time (the sound's progress between two audio callbacks).
    static unsigned Now();

private:
    unsigned startTicks;
    unsigned lastTicks;
    int offset;
    bool paused;
    unsigned pausedTicks; // the tick count at which the pause began
};

#endif
