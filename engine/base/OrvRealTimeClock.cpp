#include "base/OrvRealTimeClock.h"

#include <chrono>

OrvRealTimeClock::OrvRealTimeClock()
    : startTicks(0), lastTicks(0), offset(0), paused(false), pausedTicks(0) {}

unsigned OrvRealTimeClock::Now() {
    // A monotonic clock: setting the system's time never moves the show. Milliseconds since
    // an arbitrary start, wrapping like the position arithmetic.
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<unsigned>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void OrvRealTimeClock::Start(unsigned startMs) {
    offset = 0;
    paused = false;
    startTicks = lastTicks = Now() - startMs;
}

void OrvRealTimeClock::NextFrame(unsigned& position, unsigned& elapsedMs) {
    unsigned now = paused ? pausedTicks : Now();
    elapsedMs = now - lastTicks;
    lastTicks = now;
    position = PositionAt(now);
}

unsigned OrvRealTimeClock::Position() {
    return PositionAt(paused ? pausedTicks : Now());
}

void OrvRealTimeClock::SetPaused(bool pause) {
    if (pause == paused)
        return;
    unsigned now = Now();
    if (pause) {
        pausedTicks = now;
    } else {
        // The time spent paused is taken out of the show's time and out of the next frame.
        startTicks += now - pausedTicks;
        lastTicks += now - pausedTicks;
    }
    paused = pause;
}

void OrvRealTimeClock::Shift(int deltaMs) {
    offset += deltaMs;
}

unsigned OrvRealTimeClock::PositionAt(unsigned ticks) const {
    return (ticks - startTicks) + static_cast<unsigned>(offset);
}
