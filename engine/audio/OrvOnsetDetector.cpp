#include "audio/OrvOnsetDetector.h"

#include <aubio/aubio.h>

#include <algorithm>
#include <cstring>

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
    aubio_onset_do(aubio->onset, aubio->input, aubio->output);
    if (aubio->output->data[0] != 0) {
        uint_t at = aubio_onset_get_last(aubio->onset);
        size_t hop = (at + HopSamples / 2) / HopSamples;
        float strength = aubio_onset_get_descriptor(aubio->onset);
        if (strength > 0)
            onsets.push_back(Onset{hop, strength});
    }
    if (aubio->tempo) {
        aubio_tempo_do(aubio->tempo, aubio->input, aubio->beat);
        if (aubio->beat->data[0] != 0)
            beats.push_back(aubio_tempo_get_last_s(aubio->tempo));
    }
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
