#ifndef ORV_TESTS_SUPPORT_ORVMUSICTESTTRACK_H
#define ORV_TESTS_SUPPORT_ORVMUSICTESTTRACK_H

// A test track for the music's analysis: sine tones of known frequencies over known stretches,
// and clicks (3 ms bursts of decaying noise) at known times, on every channel alike.

#include <cstdint>
#include <vector>

struct OrvTestTone {
    double from; // seconds
    double to;
    double hz;
    double amplitude;
};

// Interleaved 16-bit samples, `seconds` long.
std::vector<int16_t> OrvMusicTestTrack(int rate, int channels, double seconds,
                                       const std::vector<OrvTestTone>& tones,
                                       const std::vector<double>& clicks);

#endif
