#include "support/OrvMusicTestTrack.h"

#include <algorithm>
#include <cmath>

std::vector<int16_t> OrvMusicTestTrack(int rate, int channels, double seconds,
                                       const std::vector<OrvTestTone>& tones,
                                       const std::vector<double>& clicks) {
    const double pi = 3.14159265358979323846;
    size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<double> mono(frames, 0.0);
    for (const OrvTestTone& tone : tones) {
        size_t first = static_cast<size_t>(tone.from * rate);
        size_t last = std::min(frames, static_cast<size_t>(tone.to * rate));
        for (size_t i = first; i < last; ++i)
            mono[i] += tone.amplitude * std::sin(2 * pi * tone.hz * double(i - first) / rate);
    }
    unsigned noise = 7;
    for (double at : clicks) {
        size_t first = static_cast<size_t>(at * rate);
        size_t length = static_cast<size_t>(0.003 * rate);
        for (size_t i = 0; i < length && first + i < frames; ++i) {
            noise = noise * 1664525u + 1013904223u;
            double white = double(noise >> 8) / double(1u << 23) - 1.0;
            mono[first + i] += 0.9 * white * std::exp(-double(i) / (0.001 * rate));
        }
    }
    std::vector<int16_t> samples(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        double value = std::max(-1.0, std::min(1.0, mono[i]));
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] = static_cast<int16_t>(std::lround(value * 32767));
    }
    return samples;
}
