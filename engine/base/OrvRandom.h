#ifndef ORV_BASE_ORVRANDOM_H
#define ORV_BASE_ORVRANDOM_H

// The engine's random numbers. Shows must play the same on every machine, so this is a fixed
// linear congruential generator, never seeded and independent of the C library's rand():
//   state := state * 214013 + 2531011 (mod 2^32), starting from 1,
//   value := bits 16 to 30 of the new state (0 to 32767).
// Each run has one (its OrvRunContext's), which random envelope items and particle emission
// draw from; nothing is shared between runs.

#include <cstdint>

class OrvRandom {
public:
    static constexpr int Max = 32767;

    OrvRandom();

    // The next value, 0 to Max.
    int Next();

private:
    uint32_t state;
};

#endif
