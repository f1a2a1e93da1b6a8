#include "audio/OrvFrequencyBands.h"

#include <fftw3.h>

#include <cmath>
#include <cstring>

OrvFrequencyBands::OrvFrequencyBands() : window(WindowSamples) {
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < WindowSamples; ++i)
        window[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * pi * (i + 0.5) / WindowSamples));
    input = static_cast<float*>(fftwf_malloc(sizeof(float) * TransformSize));
    output = fftwf_malloc(sizeof(fftwf_complex) * (TransformSize / 2 + 1));
    std::memset(input, 0, sizeof(float) * TransformSize);
    // Estimated, not measured: measuring costs more than the whole analysis it would speed up.
    plan = fftwf_plan_dft_r2c_1d(TransformSize, input, static_cast<fftwf_complex*>(output),
                                 FFTW_ESTIMATE);
    // Bin b's centre is b * rate / size; a band holds the bins from the first at or above its
    // lower edge.
    for (int k = 0; k <= BandCount; ++k)
        firstBin[k] = static_cast<int>(std::ceil(BandEdge(k) * TransformSize / SampleRate));
}

OrvFrequencyBands::~OrvFrequencyBands() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan));
    fftwf_free(output);
    fftwf_free(input);
}

double OrvFrequencyBands::BandEdge(int k) {
    return 40.0 * std::pow(400.0, k / static_cast<double>(BandCount));
}

int OrvFrequencyBands::BandOf(double hz) {
    if (!(hz >= BandEdge(0)) || hz >= BandEdge(BandCount))
        return -1;
    int k = static_cast<int>(std::floor(std::log(hz / 40.0) / std::log(400.0) * BandCount));
    // Rounding at an edge: the edges themselves decide.
    if (k > 0 && hz < BandEdge(k))
        --k;
    if (k < BandCount - 1 && hz >= BandEdge(k + 1))
        ++k;
    return k;
}

void OrvFrequencyBands::Compute(const float* samples, float* bands) {
    for (int i = 0; i < WindowSamples; ++i)
        input[i] = samples[i] * window[i];
    // The zero padding past WindowSamples stays zero: FFTW does not write its input here.
    fftwf_execute(static_cast<fftwf_plan>(plan));
    const fftwf_complex* bins = static_cast<const fftwf_complex*>(output);
    for (int k = 0; k < BandCount; ++k) {
        double power = 0.0;
        for (int b = firstBin[k]; b < firstBin[k + 1]; ++b)
            power += double(bins[b][0]) * bins[b][0] + double(bins[b][1]) * bins[b][1];
        bands[k] = static_cast<float>(std::sqrt(power));
    }
}
