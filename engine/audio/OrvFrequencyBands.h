#ifndef ORV_AUDIO_ORVFREQUENCYBANDS_H
#define ORV_AUDIO_ORVFREQUENCYBANDS_H

// The spectrum of one stretch of music in sixteen bands, for the music's analysis. Band k
// holds the frequencies from 40 * 400^(k/16) up to (not including) 40 * 400^((k+1)/16) Hz,
// so the bands are spaced evenly on a log scale from 40 Hz to 16 kHz (60 Hz falls in band 1,
// 5 kHz in band 12).
//
// A stretch is WindowSamples mono samples at 44100 Hz (40 ms, four analysis hops); it is
// weighted by a Hann window and transformed with FFTW at TransformSize points (zero-padded),
// so bins lie 21.5 Hz apart and every band, band 0 included, holds at least one bin. A band's
// value is the root of the summed power of the bins whose centre frequency lies in it: the
// amplitude of what sounds in it, on an arbitrary scale that the analysis normalises.
//
// Owns its FFTW plan and buffers, made by the constructor; Compute allocates nothing. Not
// copyable. FFTW's planner is not thread-safe: make these on one thread.

#include <vector>

class OrvFrequencyBands {
public:
    static constexpr int BandCount = 16;
    static constexpr int SampleRate = 44100;
    static constexpr int WindowSamples = 1764;
    static constexpr int TransformSize = 2048;

    OrvFrequencyBands();
    ~OrvFrequencyBands();
    OrvFrequencyBands(const OrvFrequencyBands&) = delete;
    OrvFrequencyBands& operator=(const OrvFrequencyBands&) = delete;

    // The lower edge of band k in Hz (k = 16 gives the upper edge of band 15, 16 kHz).
    static double BandEdge(int k);
    // The band a frequency falls in, or -1 outside 40 Hz to 16 kHz.
    static int BandOf(double hz);

    // The bands of WindowSamples samples into `bands` (BandCount values).
    void Compute(const float* samples, float* bands);

private:
    std::vector<float> window;
    float* input;                // fftwf_malloc'd, TransformSize floats
    void* output;                // fftwf_complex[TransformSize / 2 + 1]
    void* plan;                  // fftwf_plan
    int firstBin[BandCount + 1]; // band k is bins firstBin[k] .. firstBin[k + 1] - 1
};

#endif
