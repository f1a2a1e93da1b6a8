#ifndef ORV_AUDIO_ORVMUSICANALYSIS_H
#define ORV_AUDIO_ORVMUSICANALYSIS_H

// The music's analysis, made once while a show loads, so that parameters and shaders can
// follow the music by the position alone (the same in Run, Capture, a jump and the checker;
// nothing reads the sound device or the clock).
//
// Analyse decodes the file as the music plays it (OrvAudioStream: 44100 Hz; mono and other
// rates are converted), mixes it to mono and computes, every Hop (10 ms, 441 samples):
// - music.band[0] .. music.band[15]: the spectrum in sixteen log-spaced bands from 40 Hz to
//   16 kHz (OrvFrequencyBands), over 40 ms centred on the hop;
// - music.bass, music.mid, music.treble: the sums of bands 0-4, 5-11 and 12-15;
// - music.level: the RMS over 20 ms centred on the hop;
// - music.onset: an envelope that jumps at each onset aubio detects (to the onset's
//   strength) and falls off with a time constant of OnsetFallSeconds.
// Each is normalised over the track (1 = its largest value in it). Each has two variants:
// NAME.smooth (rise time constant RiseSeconds, fall FallSeconds) and NAME.sum (the running
// integral of NAME in seconds). See OrvSourceShaping.
//
// Times: hop i is the position i * 10 ms; between hops values are interpolated. Position 0
// is the start of the track. The analysis runs on for TailSeconds of silence after the end,
// so raw values are 0 there and smoothed ones have fallen to nearly 0; after that every
// source holds its last value (the sums their total). With no analysis every source is 0.
//
// Failures: a file that cannot be opened is left to whoever loads the music (it warns) and
// reports nothing here; a file that opens but cannot be analysed (aubio cannot start) gives
// one warning, "Could not analyse the music file: " + reason. A track longer than
// MaxSeconds is analysed up to there, with one warning. Either way the sources stay (or,
// past that point, become) 0.
//
// The tempo (when asked for): aubio's beat tracker's bpm and its confidence at the end of the
// track; 0 without one.
//
// Ownership: owns one curve per source, made by the constructor and never moved, so the
// parameter manager's follow items (RegisterSources) and the frames may point at them while
// Analyse fills them again. Not copyable. Main thread only.

#include "animation/OrvSampledCurve.h"

#include <string>
#include <vector>

class OrvDiagnostics;
class OrvParameterManager;
struct OrvMusicUniforms;

class OrvMusicAnalysis {
public:
    static constexpr unsigned HopMs = 10;
    static constexpr double RiseSeconds = 0.03;
    static constexpr double FallSeconds = 0.3;
    static constexpr double OnsetFallSeconds = 0.12;
    static constexpr double TailSeconds = 2.0;
    static constexpr double MaxSeconds = 30.0 * 60.0;
    // The beat tracker's confidence from which its tempo is trusted.
    static constexpr double ConfidentTempo = 0.05;
    // 16 bands, bass, mid, treble, level, onset.
    static constexpr int BaseCount = 21;
    // Each base as NAME, NAME.smooth and NAME.sum.
    static constexpr int SourceCount = BaseCount * 3;

    OrvMusicAnalysis();
    OrvMusicAnalysis(const OrvMusicAnalysis&) = delete;
    OrvMusicAnalysis& operator=(const OrvMusicAnalysis&) = delete;

    // Analyses the file, replacing the last analysis; false (every source 0) when it could
    // not (see above for what is reported). The tempo only when asked for: it costs about a
    // third of the time, and only the checker needs it.
    bool Analyse(const std::string& path, OrvDiagnostics& diagnostics, bool withTempo = false);
    // Every source 0 and no tempo.
    void Clear();
    // The same values as `other`'s last analysis, without decoding anything (a reload of a
    // show whose music did not change). The curves stay where they are.
    void CopyFrom(const OrvMusicAnalysis& other);
    bool Analysed() const { return analysed; }

    // Every source, by name, as a follow source of the manager.
    void RegisterSources(OrvParameterManager& parameters) const;
    // The source names in order: music.band[0], its .smooth, its .sum, music.band[1], ...
    static const std::vector<std::string>& SourceNames();
    // The curve of a source (index into SourceNames), or null past the end.
    const OrvSampledCurve* Source(int index) const;
    const OrvSampledCurve* Source(const std::string& name) const;

    // The raw bands, level and onset at the position: what shaders get. Allocates nothing.
    void FillUniforms(unsigned position, OrvMusicUniforms& uniforms) const;

    double Bpm() const { return bpm; }
    double TempoConfidence() const { return confidence; }
    // How many hops the track took, its tail included.
    size_t HopCount() const { return hops; }

private:
    std::vector<OrvSampledCurve> curves; // SourceCount, never resized
    double bpm;
    double confidence;
    size_t hops;
    bool analysed;
};

#endif
