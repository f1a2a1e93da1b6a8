#ifndef ORV_BASE_ORVFIXEDSTEPCLOCK_H
#define ORV_BASE_ORVFIXEDSTEPCLOCK_H

// A clock that steps by whole frames of a fixed rate, for capture and for tests: frame n
// (counted from 0 since Start) lies at
//   start + floor(n * 1000 * denominator / numerator) + shifts     milliseconds,
// computed in 64-bit integers, so a rate such as 30000/1001 frames per second (29.97) never
// drifts: after an hour the position is exact to the millisecond, and each frame's elapsed
// time is the difference of two such positions (33 or 34 ms at 29.97).
// The first frame's elapsed time is its distance from position 0, as with the live clock.
//
// Reads no wall clock. Copyable; owns nothing.

#include "base/IOrvClock.h"

#include <cstdint>

class OrvFixedStepClock : public IOrvClock {
public:
    // numerator / denominator frames per second; a zero in either counts as 60 / 1.
    OrvFixedStepClock(unsigned numerator, unsigned denominator = 1);

    void Start(unsigned startMs) override;
    void NextFrame(unsigned& position, unsigned& elapsedMs) override;
    // The position of the last frame taken, or the start before the first one.
    unsigned Position() override;
    void Shift(int deltaMs) override;
    // Paused, NextFrame gives the last position again with 0 ms elapsed, and counts no frame.
    void SetPaused(bool paused) override { this->paused = paused; }
    bool Paused() const override { return paused; }

    // How many frames NextFrame has given since Start.
    uint64_t FramesTaken() const { return frames; }
    // The position of frame n since Start, without shifts.
    unsigned FramePosition(uint64_t n) const;

private:
    uint64_t numerator;
    uint64_t denominator;
    unsigned start;
    unsigned shift;
    uint64_t frames;
    unsigned lastPosition;
    bool paused;
};

#endif
