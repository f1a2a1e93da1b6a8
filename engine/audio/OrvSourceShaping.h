#ifndef ORV_AUDIO_ORVSOURCESHAPING_H
#define ORV_AUDIO_ORVSOURCESHAPING_H

// What the music's analysis derives from a source sampled at a fixed hop: pure functions of
// the samples, used while loading.
// - Normalise: divides by the largest sample, so the largest becomes 1 (a source that never
//   rises above 0 stays 0; negative samples are not expected).
// - Smooth: a one-pole follower with separate time constants: s[0] = x[0], then
//   s[n] = s[n-1] + (x[n] - s[n-1]) * (1 - exp(-hop / tau)), tau = rise while x[n] > s[n-1],
//   fall otherwise.
// - Integrate: the running integral over time in seconds, by trapezoids between samples:
//   I[0] = 0, I[n] = I[n-1] + (x[n-1] + x[n]) / 2 * hop; a source at 1 grows by 1 a second.
// - Envelope: a curve that jumps to each onset's strength at its hop (or stays higher) and
//   falls off exponentially with the time constant `fall` between them.

#include <cstddef>
#include <utility>
#include <vector>

class OrvSourceShaping {
public:
    static void Normalise(std::vector<float>& samples);
    static std::vector<float> Smooth(const std::vector<float>& samples, double hopSeconds,
                                     double riseSeconds, double fallSeconds);
    static std::vector<float> Integrate(const std::vector<float>& samples, double hopSeconds);
    // `onsets`: (hop, strength) pairs; hops past `count` are dropped.
    static std::vector<float> Envelope(const std::vector<std::pair<size_t, float>>& onsets,
                                       size_t count, double hopSeconds, double fallSeconds);
};

#endif
