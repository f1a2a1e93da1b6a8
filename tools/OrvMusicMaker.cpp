// Synthesizes the bundled show's music: a kick on every beat, a hi-hat between the beats and a
// bass line that changes every bar, at the given tempo.
//
//   orv-make-music <output file> <bpm> <bars>
//
// The format follows the file name: ".ogg" writes Ogg Vorbis, anything else 16-bit WAV.

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
const int Rate = 44100;
const double Pi = 3.14159265358979323846;

// A tiny deterministic noise source for the hi-hat (the same file on every build).
uint32_t noiseState = 12345;
double Noise() {
    noiseState = noiseState * 1664525u + 1013904223u;
    return (static_cast<double>(noiseState >> 8) / 8388608.0) - 1.0;
}

double Kick(double t) {
    if (t < 0 || t > 0.35)
        return 0;
    double frequency = 45 + 110 * std::exp(-t * 30);
    return std::sin(2 * Pi * frequency * t) * std::exp(-t * 9);
}

double HiHat(double t) {
    if (t < 0 || t > 0.08)
        return 0;
    return Noise() * std::exp(-t * 60) * 0.25;
}

double Bass(double t, double frequency, double length) {
    if (t < 0 || t > length)
        return 0;
    double envelope = std::min(1.0, t * 200) * std::exp(-t * 2.5);
    double wave = std::sin(2 * Pi * frequency * t) + 0.3 * std::sin(4 * Pi * frequency * t);
    return wave * envelope * 0.3;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <output file> <bpm> <bars>\n", argv[0]);
        return 2;
    }
    std::string path = argv[1];
    double bpm = std::atof(argv[2]);
    int bars = std::atoi(argv[3]);
    if (bpm <= 0 || bars <= 0) {
        std::fprintf(stderr, "bpm and bars must be above 0\n");
        return 2;
    }
    double beat = 60.0 / bpm;
    long frames = static_cast<long>(bars * 4 * beat * Rate);
    // A minor progression, one root note per bar.
    const double roots[] = {55.0, 43.65, 65.41, 49.0};

    SF_INFO info = {};
    info.samplerate = Rate;
    info.channels = 2;
    bool ogg = path.size() > 4 && path.compare(path.size() - 4, 4, ".ogg") == 0;
    info.format = ogg ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return 1;
    }
    std::vector<float> block(2 * 4096);
    for (long start = 0; start < frames; start += 4096) {
        long count = std::min<long>(4096, frames - start);
        for (long i = 0; i < count; ++i) {
            double t = static_cast<double>(start + i) / Rate;
            double inBeat = std::fmod(t, beat);
            int bar = static_cast<int>(t / (4 * beat));
            double inBar = std::fmod(t, 4 * beat);
            double root = roots[bar % 4];
            double bass = Bass(std::fmod(inBar, 2 * beat), root, 2 * beat);
            double kick = Kick(inBeat) * 0.8;
            double hat = HiHat(inBeat - beat / 2);
            // The hi-hat leans left, the bass a little right.
            block[2 * i] = static_cast<float>(kick + bass * 0.9 + hat * 1.2);
            block[2 * i + 1] = static_cast<float>(kick + bass * 1.1 + hat * 0.8);
        }
        sf_writef_float(file, block.data(), count);
    }
    sf_close(file);
    return 0;
}
