#include "base/OrvFixedStepClock.h"

OrvFixedStepClock::OrvFixedStepClock(unsigned numerator, unsigned denominator)
    : numerator(numerator && denominator ? numerator : 60),
      denominator(numerator && denominator ? denominator : 1), start(0), shift(0), frames(0),
      lastPosition(0), paused(false) {}

void OrvFixedStepClock::Start(unsigned startMs) {
    start = startMs;
    shift = 0;
    frames = 0;
    lastPosition = 0; // the first frame's elapsed time counts from the show's beginning
    paused = false;
}

unsigned OrvFixedStepClock::FramePosition(uint64_t n) const {
    // n * 1000 * denominator stays far below 2^64 for any show: 2^32 ms is 49 days.
    uint64_t offset = n * 1000u * denominator / numerator;
    return start + static_cast<unsigned>(offset);
}

void OrvFixedStepClock::NextFrame(unsigned& position, unsigned& elapsedMs) {
    if (paused) {
        position = Position();
        elapsedMs = 0;
        return;
    }
    position = FramePosition(frames) + shift;
    elapsedMs = position - lastPosition;
    lastPosition = position;
    ++frames;
}

unsigned OrvFixedStepClock::Position() {
    return frames == 0 ? start + shift : lastPosition;
}

void OrvFixedStepClock::Shift(int deltaMs) {
    shift += static_cast<unsigned>(deltaMs);
    if (frames > 0)
        lastPosition += static_cast<unsigned>(deltaMs);
}
