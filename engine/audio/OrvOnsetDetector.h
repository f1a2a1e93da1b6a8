#ifndef ORV_AUDIO_ORVONSETDETECTOR_H
#define ORV_AUDIO_ORVONSETDETECTOR_H

// Onsets and tempo of a piece of music, found with aubio as the music is pushed through hop
// by hop (mono, 44100 Hz, HopSamples samples a push): aubio's default onset method on 1024-
// sample frames, and (when asked for) its beat tracker for the tempo. An onset is kept as the hop
// it happened in (aubio's own delay taken back, rounded to the nearest hop) and its strength, the
// onset function's value when it was detected. Silence is judged at the onset itself: an onset
// counts when some hop from the onset's own to the one where aubio confirmed it is louder than
// aubio's default gate (-70 dB), so a short hit after digital silence, gone by the time it is
// confirmed, is still found.
//
// Owns the aubio objects, made by the constructor (Ready() says whether they were); Push
// allocates only when an onset is added to the list. Not copyable.

#include <cstddef>
#include <memory>
#include <vector>

class OrvOnsetDetector {
public:
    static constexpr int HopSamples = 441;
    static constexpr int FrameSamples = 1024;

    struct Onset {
        size_t hop;
        float strength;
    };

    // The beat tracker costs about as much as the onsets: only what needs the tempo (the
    // checker) asks for it.
    explicit OrvOnsetDetector(bool withTempo);
    ~OrvOnsetDetector();
    OrvOnsetDetector(const OrvOnsetDetector&) = delete;
    OrvOnsetDetector& operator=(const OrvOnsetDetector&) = delete;

    bool Ready() const;
    // The next HopSamples samples.
    void Push(const float* samples);

    const std::vector<Onset>& Onsets() const { return onsets; }
    // The tempo once everything is pushed: from the beat tracker's beats over the whole track
    // (the mean of the intervals within 10% of their median), or its own figure when it
    // placed fewer than nine; and its confidence. 0 when it found none or was not asked for.
    double Bpm() const;
    double Confidence() const;

private:
    struct Aubio; // aubio's objects, kept out of this header
    std::unique_ptr<Aubio> aubio;
    bool withTempo;
    // The loudest hop level (dB) from `hop` to the latest pushed.
    float LoudestSince(size_t hop) const;

    static constexpr size_t LevelHops = 16; // more than aubio's delay of a few hops
    std::vector<Onset> onsets;
    std::vector<float> levels; // the last LevelHops hops' levels, by hop modulo LevelHops
    size_t pushed = 0;         // hops pushed so far
    std::vector<double> beats; // the beat tracker's beats, in seconds
};

#endif
