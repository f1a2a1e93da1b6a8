#include "audio/OrvMusicAnalysis.h"

#include "animation/OrvParameterManager.h"
#include "audio/OrvAudioStream.h"
#include "audio/OrvFrequencyBands.h"
#include "audio/OrvOnsetDetector.h"
#include "audio/OrvSourceShaping.h"
#include "base/OrvDiagnostics.h"
#include "gfx/OrvMusicUniforms.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {
const int HopSamples = OrvOnsetDetector::HopSamples;
const int Bass = 16;
const int Mid = 17;
const int Treble = 18;
const int Level = 19;
const int Onset = 20;
// The analysis window is four hops, centred on the hop it is for.
const int HistoryHops = OrvFrequencyBands::WindowSamples / HopSamples;
static_assert(HistoryHops * HopSamples == OrvFrequencyBands::WindowSamples,
              "the spectrum's window is a whole number of hops");

std::vector<std::string> MakeNames() {
    std::vector<std::string> bases;
    for (int k = 0; k < OrvFrequencyBands::BandCount; ++k)
        bases.push_back("music.band[" + std::to_string(k) + "]");
    for (const char* name :
         {"music.bass", "music.mid", "music.treble", "music.level", "music.onset"})
        bases.push_back(name);
    std::vector<std::string> names;
    for (const std::string& base : bases) {
        names.push_back(base);
        names.push_back(base + ".smooth");
        names.push_back(base + ".sum");
    }
    return names;
}
} // namespace

OrvMusicAnalysis::OrvMusicAnalysis()
    : curves(SourceCount), bpm(0), confidence(0), hops(0), analysed(false) {}

const std::vector<std::string>& OrvMusicAnalysis::SourceNames() {
    // Made on first use and never changed: a constant, not state.
    static const std::vector<std::string> names = MakeNames();
    return names;
}

void OrvMusicAnalysis::Clear() {
    for (OrvSampledCurve& curve : curves)
        curve.Clear();
    bpm = 0;
    confidence = 0;
    hops = 0;
    analysed = false;
}

void OrvMusicAnalysis::CopyFrom(const OrvMusicAnalysis& other) {
    for (size_t i = 0; i < curves.size() && i < other.curves.size(); ++i)
        curves[i].Assign(other.curves[i].Samples(), other.curves[i].Step());
    bpm = other.bpm;
    confidence = other.confidence;
    hops = other.hops;
    analysed = other.analysed;
}

bool OrvMusicAnalysis::Analyse(const std::string& path, OrvDiagnostics& diagnostics,
                               bool withTempo) {
    Clear();
    OrvAudioStream stream;
    if (!stream.Open(path))
        return false; // the music's own loading says so
    OrvOnsetDetector detector(withTempo);
    if (!detector.Ready()) {
        diagnostics.Report(0, "Could not analyse the music file: the onset detector did not start");
        return false;
    }
    OrvFrequencyBands spectrum;

    const size_t maxChunks = static_cast<size_t>(MaxSeconds * 1000 / HopMs);
    const size_t tailChunks = static_cast<size_t>(TailSeconds * 1000 / HopMs);
    std::vector<std::vector<float>> raw(BaseCount);
    // A guess from the file's length saves regrowing; the length may be wrong, so it only
    // reserves, bounded by the cap.
    for (std::vector<float>& series : raw)
        series.reserve(4096);

    std::vector<int16_t> pcm(static_cast<size_t>(HopSamples) * OrvAudioStream::OutputChannels);
    std::vector<float> history(OrvFrequencyBands::WindowSamples, 0.0f);
    float* chunk = history.data() + (HistoryHops - 1) * HopSamples; // the newest hop
    float bands[OrvFrequencyBands::BandCount];
    bool ended = false;
    bool truncated = false;
    size_t tailLeft = tailChunks;
    // Chunk j holds samples j*441 .. j*441+440; after it, the window of hop j-1 is complete:
    // the history then covers (j-3)*441 .. (j+1)*441, centred on (j-1)*441.
    for (size_t j = 0;; ++j) {
        std::memmove(history.data(), history.data() + HopSamples,
                     sizeof(float) * (HistoryHops - 1) * HopSamples);
        if (!ended) {
            stream.Fill(pcm.data(), HopSamples);
            for (int i = 0; i < HopSamples; ++i)
                chunk[i] = (float(pcm[2 * i]) + float(pcm[2 * i + 1])) * (0.5f / 32768.0f);
            ended = stream.Ended();
            if (!ended && j + 1 >= maxChunks) {
                ended = truncated = true;
                tailLeft = 0;
            }
        } else {
            std::memset(chunk, 0, sizeof(float) * HopSamples);
            if (tailLeft == 0)
                break;
            --tailLeft;
        }
        detector.Push(chunk);
        if (j == 0)
            continue;
        spectrum.Compute(history.data(), bands);
        float bass = 0, mid = 0, treble = 0;
        for (int k = 0; k < OrvFrequencyBands::BandCount; ++k) {
            raw[k].push_back(bands[k]);
            (k <= 4 ? bass : k <= 11 ? mid : treble) += bands[k];
        }
        raw[Bass].push_back(bass);
        raw[Mid].push_back(mid);
        raw[Treble].push_back(treble);
        double power = 0;
        const float* centre = history.data() + (HistoryHops / 2 - 1) * HopSamples;
        for (int i = 0; i < 2 * HopSamples; ++i)
            power += double(centre[i]) * centre[i];
        raw[Level].push_back(static_cast<float>(std::sqrt(power / (2 * HopSamples))));
    }
    hops = raw[0].size();
    if (truncated)
        diagnostics.Report(0, "The music is longer than " + std::to_string(int(MaxSeconds / 60)) +
                                  " minutes: only its start is analysed");

    std::vector<std::pair<size_t, float>> onsets;
    for (const OrvOnsetDetector::Onset& onset : detector.Onsets())
        onsets.emplace_back(onset.hop, onset.strength);
    const double hop = HopMs / 1000.0;
    raw[Onset] = OrvSourceShaping::Envelope(onsets, hops, hop, OnsetFallSeconds);

    for (int base = 0; base < BaseCount; ++base) {
        std::vector<float>& series = raw[base];
        OrvSourceShaping::Normalise(series);
        curves[3 * base + 1].Assign(OrvSourceShaping::Smooth(series, hop, RiseSeconds, FallSeconds),
                                    HopMs);
        curves[3 * base + 2].Assign(OrvSourceShaping::Integrate(series, hop), HopMs);
        curves[3 * base].Assign(std::move(series), HopMs);
    }
    bpm = detector.Bpm();
    confidence = detector.Confidence();
    analysed = true;
    return true;
}

void OrvMusicAnalysis::RegisterSources(OrvParameterManager& parameters) const {
    const std::vector<std::string>& names = SourceNames();
    for (int i = 0; i < SourceCount; ++i)
        parameters.AddFollowSource(names[i], curves[i]);
}

const OrvSampledCurve* OrvMusicAnalysis::Source(int index) const {
    return index >= 0 && index < SourceCount ? &curves[index] : nullptr;
}

const OrvSampledCurve* OrvMusicAnalysis::Source(const std::string& name) const {
    const std::vector<std::string>& names = SourceNames();
    for (int i = 0; i < SourceCount; ++i)
        if (names[i] == name)
            return &curves[i];
    return nullptr;
}

void OrvMusicAnalysis::FillUniforms(unsigned position, OrvMusicUniforms& uniforms) const {
    for (int k = 0; k < OrvMusicUniforms::BandCount; ++k)
        uniforms.bands[k] = static_cast<float>(curves[3 * k].ValueAt(position));
    uniforms.level = static_cast<float>(curves[3 * Level].ValueAt(position));
    uniforms.onset = static_cast<float>(curves[3 * Onset].ValueAt(position));
}
