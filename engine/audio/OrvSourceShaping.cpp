#include "audio/OrvSourceShaping.h"

#include <algorithm>
#include <cmath>

void OrvSourceShaping::Normalise(std::vector<float>& samples) {
    float largest = 0.0f;
    for (float value : samples)
        largest = std::max(largest, value);
    if (!(largest > 0.0f)) {
        std::fill(samples.begin(), samples.end(), 0.0f);
        return;
    }
    for (float& value : samples)
        value /= largest;
}

std::vector<float> OrvSourceShaping::Smooth(const std::vector<float>& samples, double hopSeconds,
                                            double riseSeconds, double fallSeconds) {
    std::vector<float> result(samples.size());
    if (samples.empty())
        return result;
    double rise = 1.0 - std::exp(-hopSeconds / riseSeconds);
    double fall = 1.0 - std::exp(-hopSeconds / fallSeconds);
    double state = samples[0];
    result[0] = samples[0];
    for (size_t n = 1; n < samples.size(); ++n) {
        double target = samples[n];
        state += (target - state) * (target > state ? rise : fall);
        result[n] = static_cast<float>(state);
    }
    return result;
}

std::vector<float> OrvSourceShaping::Integrate(const std::vector<float>& samples,
                                               double hopSeconds) {
    std::vector<float> result(samples.size());
    double sum = 0.0; // summed in double: a long track adds many small steps
    for (size_t n = 1; n < samples.size(); ++n) {
        sum += (double(samples[n - 1]) + samples[n]) * 0.5 * hopSeconds;
        result[n] = static_cast<float>(sum);
    }
    return result;
}

std::vector<float> OrvSourceShaping::Envelope(const std::vector<std::pair<size_t, float>>& onsets,
                                              size_t count, double hopSeconds, double fallSeconds) {
    std::vector<float> result(count, 0.0f);
    for (const auto& onset : onsets)
        if (onset.first < count)
            result[onset.first] = std::max(result[onset.first], onset.second);
    double decay = std::exp(-hopSeconds / fallSeconds);
    for (size_t n = 1; n < count; ++n)
        result[n] = std::max(result[n], static_cast<float>(result[n - 1] * decay));
    return result;
}
