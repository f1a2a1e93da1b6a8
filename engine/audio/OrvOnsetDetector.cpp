#include "audio/OrvOnsetDetector.h"

#include <aubio/aubio.h>

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
    if (aubio->tempo)
        aubio_tempo_do(aubio->tempo, aubio->input, aubio->beat);
}

double OrvOnsetDetector::Bpm() const {
    return aubio->tempo ? aubio_tempo_get_bpm(aubio->tempo) : 0.0;
}

double OrvOnsetDetector::Confidence() const {
    return aubio->tempo ? aubio_tempo_get_confidence(aubio->tempo) : 0.0;
}
