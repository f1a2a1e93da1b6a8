#include "audio/OrvOnsetDetector.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {
// aubio's own silence gate, in dB: quieter than this is no onset. aubio judges it at the hop
// where it confirms an onset, some 20 ms after it, when a short hit after digital silence
// has died away; so aubio is told never to gate, and the detector judges the same level over
// the hops from the onset to its confirmation.
const float SilenceDb = -70.0f;

// The hop's level as aubio measures it for its gate: the mean power in dB.
float LevelDb(const float* samples, int count) {
    double power = 0;
    for (int i = 0; i < count; ++i)
        power += double(samples[i]) * samples[i];
    power /= count;
    return power > 0 ? static_cast<float>(10.0 * std::log10(power)) : -1000.0f;
}
} // namespace

struct OrvOnsetDetector::Aubio {
    aubio_onset_t* onset = nullptr;
    aubio_tempo_t* tempo = nullptr;
    fvec_t* input = nullptr;
    fvec_t* output = nullptr;
    fvec_t* beat = nullptr;

    ~Aubio() {
        if (onset)
            del_aubio_onset(onset);
        if (tempo)
            del_aubio_tempo(tempo);
        if (input)
            del_fvec(input);
        if (output)
            del_fvec(output);
        if (beat)
            del_fvec(beat);
    }
};

OrvOnsetDetector::OrvOnsetDetector(bool withTempo) : aubio(new Aubio), withTempo(withTempo) {
    aubio->onset = new_aubio_onset("default", FrameSamples, HopSamples, 44100);
    // Never silent to aubio: a hop of exact zeros is -inf dB, below any finite gate.
    if (aubio->onset)
        aubio_onset_set_silence(aubio->onset, -std::numeric_limits<float>::infinity());
    levels.assign(LevelHops, -1000.0f);
    if (withTempo)
        aubio->tempo = new_aubio_tempo("default", FrameSamples, HopSamples, 44100);
    aubio->input = new_fvec(HopSamples);
    aubio->output = new_fvec(1);
    aubio->beat = new_fvec(2);
}

OrvOnsetDetector::~OrvOnsetDetector() {}

bool OrvOnsetDetector::Ready() const {
    return aubio->onset && (aubio->tempo || !withTempo) && aubio->input && aubio->output &&
           aubio->beat;
}

void OrvOnsetDetector::Push(const float* samples) {
    if (!Ready())
        return;
    std::memcpy(aubio->input->data, samples, sizeof(float) * HopSamples);
    levels[pushed % LevelHops] = LevelDb(samples, HopSamples);
    aubio_onset_do(aubio->onset, aubio->input, aubio->output);
    if (aubio->output->data[0] != 0) {
        uint_t at = aubio_onset_get_last(aubio->onset);
        size_t hop = (at + HopSamples / 2) / HopSamples;
        float strength = aubio_onset_get_descriptor(aubio->onset);
        if (strength > 0 && LoudestSince(at / HopSamples) > SilenceDb)
            onsets.push_back(Onset{hop, strength});
    }
    ++pushed;
    if (aubio->tempo) {
        aubio_tempo_do(aubio->tempo, aubio->input, aubio->beat);
        if (aubio->beat->data[0] != 0)
            beats.push_back(aubio_tempo_get_last_s(aubio->tempo));
    }
}

float OrvOnsetDetector::LoudestSince(size_t hop) const {
    // The hops the onset spans: from its own to this one, as far back as the levels go.
    size_t first = pushed + 1 > LevelHops ? pushed + 1 - LevelHops : 0;
    float loudest = -1000.0f;
    for (size_t h = std::max(hop, first); h <= pushed; ++h)
        loudest = std::max(loudest, levels[h % LevelHops]);
    return loudest;
}

double OrvOnsetDetector::Bpm() const {
    if (!aubio->tempo)
        return 0.0;
    // aubio's own figure is read off a period counted in whole hops (10 ms: about 2% at 120
    // bpm). The beats it placed over the whole track say it finer: the mean of the intervals
    // near their median, which leaves out a missed or an extra beat.
    std::vector<double> intervals;
    for (size_t i = 1; i < beats.size(); ++i)
        intervals.push_back(beats[i] - beats[i - 1]);
    if (intervals.size() < 8)
        return aubio_tempo_get_bpm(aubio->tempo);
    std::vector<double> sorted = intervals;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    double median = sorted[sorted.size() / 2];
    double sum = 0;
    int count = 0;
    for (double interval : intervals)
        if (interval > median * 0.9 && interval < median * 1.1) {
            sum += interval;
            ++count;
        }
    return count > 0 && sum > 0 ? 60.0 * count / sum : aubio_tempo_get_bpm(aubio->tempo);
}

double OrvOnsetDetector::Confidence() const {
    return aubio->tempo ? aubio_tempo_get_confidence(aubio->tempo) : 0.0;
}
