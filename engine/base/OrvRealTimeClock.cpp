#include "base/OrvRealTimeClock.h"

#include <SDL/SDL.h>

OrvRealTimeClock::OrvRealTimeClock()
    : startTicks(0), lastTicks(0), offset(0), paused(false), pausedTicks(0) {}

unsigned OrvRealTimeClock::Now() {
    return SDL_GetTicks();
}

void OrvRealTimeClock::Start(unsigned startMs) {
    offset = 0;
    paused = false;
    startTicks = lastTicks = SDL_GetTicks() - startMs;
}

void OrvRealTimeClock::NextFrame(unsigned& position, unsigned& elapsedMs) {
    unsigned now = paused ? pausedTicks : SDL_GetTicks();
    elapsedMs = now - lastTicks;
    lastTicks = now;
    position = PositionAt(now);
}

unsigned OrvRealTimeClock::Position() {
    return PositionAt(paused ? pausedTicks : SDL_GetTicks());
}

void OrvRealTimeClock::SetPaused(bool pause) {
    if (pause == paused)
        return;
    unsigned now = SDL_GetTicks();
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
