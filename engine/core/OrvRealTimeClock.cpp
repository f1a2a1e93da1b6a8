#include "core/OrvRealTimeClock.h"

#include <SDL/SDL.h>

OrvRealTimeClock::OrvRealTimeClock() : startTicks(0), lastTicks(0), offset(0) {}

void OrvRealTimeClock::Start(unsigned startMs) {
    offset = 0;
    startTicks = lastTicks = SDL_GetTicks() - startMs;
}

void OrvRealTimeClock::NextFrame(unsigned& position, unsigned& elapsedMs) {
    unsigned now = SDL_GetTicks();
    elapsedMs = now - lastTicks;
    lastTicks = now;
    position = PositionAt(now);
}

unsigned OrvRealTimeClock::Position() {
    return PositionAt(SDL_GetTicks());
}

void OrvRealTimeClock::Shift(int deltaMs) {
    offset += deltaMs;
}

unsigned OrvRealTimeClock::PositionAt(unsigned ticks) const {
    return (ticks - startTicks) + static_cast<unsigned>(offset);
}
