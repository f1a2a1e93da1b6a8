// The music's analysis on generated tracks: tones land in their bands, clicks become onsets
// within a hop, the smoothed and summed sources follow their definitions, and odd files
// (short, silent, mono, 48 kHz, not audio) give sources that make sense.

#include "audio/OrvMusicAnalysis.h"
#include "audio/OrvFrequencyBands.h"
#include "audio/OrvSourceShaping.h"
#include "base/OrvDiagnostics.h"
#include "gfx/OrvMusicUniforms.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvMusicTestTrack.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const int Wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// Tones at 60 Hz (band 1), 1 kHz (band 8) and 5 kHz (band 12), a second each, then clicks over
// a soft 440 Hz bed (aubio takes nothing in digital silence for an onset).
const std::vector<OrvTestTone> Tones = {
    {0.0, 1.0, 60, 0.5}, {1.0, 2.0, 1000, 0.5}, {2.0, 3.0, 5000, 0.5}, {3.0, 5.0, 440, 0.02}};
const std::vector<double> Clicks = {3.2, 3.7, 4.33};

std::string WriteTrack(OrvTestFolder& folder, const std::string& name, int rate, int channels,
                       double seconds, const std::vector<OrvTestTone>& tones,
                       const std::vector<double>& clicks) {
    std::string path = folder.DataPath(name);
    EXPECT_TRUE(OrvMusicWriteAudio(path, Wav16, rate, channels,
                                   OrvMusicTestTrack(rate, channels, seconds, tones, clicks)));
    return path;
}

const OrvSampledCurve& Source(const OrvMusicAnalysis& analysis, const std::string& name) {
    const OrvSampledCurve* curve = analysis.Source(name);
    EXPECT_NE(nullptr, curve) << name;
    static const OrvSampledCurve none;
    return curve ? *curve : none;
}

std::string Band(int k) {
    return "music.band[" + std::to_string(k) + "]";
}

// The hops at which the onset envelope jumps up.
std::vector<size_t> OnsetHops(const OrvMusicAnalysis& analysis) {
    const std::vector<float>& onset = Source(analysis, "music.onset").Samples();
    std::vector<size_t> hops;
    for (size_t n = 1; n < onset.size(); ++n)
        if (onset[n] > onset[n - 1] + 1e-4f)
            hops.push_back(n);
    return hops;
}

// Checks the analysis of the standard track, whatever its rate and channels.
void ExpectTonesAndClicks(const OrvMusicAnalysis& analysis) {
    // Each tone's band reaches its largest value during the tone, and bands far from it stay
    // near 0 meanwhile.
    const int bands[] = {1, 8, 12};
    for (int t = 0; t < 3; ++t) {
        const OrvSampledCurve& own = Source(analysis, Band(bands[t]));
        unsigned middle = unsigned((Tones[t].from + 0.5) * 1000);
        EXPECT_NEAR(1.0, own.ValueAt(middle), 0.05) << "band " << bands[t] << " at " << middle;
        for (int k = 0; k < OrvFrequencyBands::BandCount; ++k) {
            if (std::abs(k - bands[t]) < 3)
                continue;
            double other = Source(analysis, Band(k)).ValueAt(middle);
            // Bands no tone reaches hold only leakage, on a scale of their own: only the
            // other tones' bands say something here.
            if (k == 1 || k == 8 || k == 12) {
                EXPECT_LT(other, 0.05) << "band " << k << " during the tone of band " << bands[t];
            }
        }
    }
    // An onset within a hop of each click; none in the silence between them.
    std::vector<size_t> hops = OnsetHops(analysis);
    for (double click : Clicks) {
        long want = std::lround(click * 100);
        bool found = false;
        for (size_t hop : hops)
            found = found || std::labs(long(hop) - want) <= 1;
        EXPECT_TRUE(found) << "no onset within a hop of the click at " << click << " s";
    }
    for (size_t hop : hops)
        EXPECT_FALSE(hop > 325 && hop < 365) << "an onset in silence at hop " << hop;
}

} // namespace

TEST(OrvFrequencyBands, EachToneIsLoudestInTheBandItsFrequencyFallsIn) {
    EXPECT_EQ(1, OrvFrequencyBands::BandOf(60));
    EXPECT_EQ(12, OrvFrequencyBands::BandOf(5000));
    EXPECT_EQ(0, OrvFrequencyBands::BandOf(40));
    EXPECT_EQ(-1, OrvFrequencyBands::BandOf(39.9));
    EXPECT_EQ(-1, OrvFrequencyBands::BandOf(16000));
    EXPECT_NEAR(16000, OrvFrequencyBands::BandEdge(16), 1e-6);
    OrvFrequencyBands spectrum;
    float bands[OrvFrequencyBands::BandCount];
    std::vector<float> window(OrvFrequencyBands::WindowSamples);
    // The geometric middle of every band.
    for (int k = 0; k < OrvFrequencyBands::BandCount; ++k) {
        double hz = std::sqrt(OrvFrequencyBands::BandEdge(k) * OrvFrequencyBands::BandEdge(k + 1));
        for (size_t i = 0; i < window.size(); ++i)
            window[i] = float(0.5 * std::sin(2 * M_PI * hz * i / 44100.0));
        spectrum.Compute(window.data(), bands);
        int loudest = 0;
        for (int b = 1; b < OrvFrequencyBands::BandCount; ++b)
            if (bands[b] > bands[loudest])
                loudest = b;
        EXPECT_EQ(k, loudest) << hz << " Hz";
    }
}

TEST(OrvSourceShaping, SmoothingAndTheSumFollowTheirDefinitions) {
    const double hop = 0.01;
    // A step up to 1 for a second, then back to 0.
    std::vector<float> step(300, 0.0f);
    for (size_t n = 100; n < 200; ++n)
        step[n] = 1.0f;
    std::vector<float> smooth = OrvSourceShaping::Smooth(step, hop, 0.03, 0.3);
    for (int k = 0; k < 100; ++k)
        EXPECT_NEAR(1 - std::exp(-(k + 1) * hop / 0.03), smooth[100 + k], 1e-5) << "rise " << k;
    double top = smooth[199];
    for (int k = 0; k < 100; ++k)
        EXPECT_NEAR(top * std::exp(-(k + 1) * hop / 0.3), smooth[200 + k], 1e-5) << "fall " << k;

    // A constant 1 grows its sum by 1 a second; a linear ramp's sum is exact by trapezoids.
    std::vector<float> ones(501, 1.0f);
    std::vector<float> sum = OrvSourceShaping::Integrate(ones, hop);
    EXPECT_FLOAT_EQ(0.0f, sum[0]);
    EXPECT_NEAR(1.0, sum[100], 1e-6);
    EXPECT_NEAR(5.0, sum[500], 1e-5);
    std::vector<float> ramp(101);
    for (size_t n = 0; n < ramp.size(); ++n)
        ramp[n] = float(n) / 100; // t seconds, for t from 0 to 1
    EXPECT_NEAR(0.5, OrvSourceShaping::Integrate(ramp, hop)[100], 1e-6) << "integral of t";

    // Normalised: the largest becomes 1; all zeros stay 0.
    std::vector<float> values = {0.5f, 2.0f, 1.0f};
    OrvSourceShaping::Normalise(values);
    EXPECT_EQ((std::vector<float>{0.25f, 1.0f, 0.5f}), values);
    std::vector<float> zeros(3, 0.0f);
    OrvSourceShaping::Normalise(zeros);
    EXPECT_EQ(std::vector<float>(3, 0.0f), zeros);

    // The onset envelope jumps and falls off with its time constant.
    std::vector<float> envelope =
        OrvSourceShaping::Envelope({{10, 2.0f}, {12, 0.5f}}, 40, hop, 0.12);
    EXPECT_FLOAT_EQ(0.0f, envelope[9]);
    EXPECT_FLOAT_EQ(2.0f, envelope[10]);
    EXPECT_NEAR(2.0 * std::exp(-0.02 / 0.12), envelope[12], 1e-5) << "a weaker onset under it";
    EXPECT_NEAR(2.0 * std::exp(-0.2 / 0.12), envelope[30], 1e-5);
}

// Sparse hits after a break: short clicks in digital silence, then two tones that start.
TEST(OrvMusicAnalysis, ClicksInDigitalSilenceAreOnsetsAndToneStartsStillAre) {
    const int rate = 44100;
    const double seconds = 6.0;
    std::vector<double> mono(static_cast<size_t>(seconds * rate), 0.0);
    const std::vector<double> clicks = {0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5};
    unsigned noise = 11;
    for (double at : clicks) {
        // 15 ms of noise, decaying with a time constant of 2 ms.
        size_t first = static_cast<size_t>(at * rate);
        for (size_t i = 0; i < static_cast<size_t>(0.015 * rate); ++i) {
            noise = noise * 1664525u + 1013904223u;
            double white = double(noise >> 8) / double(1u << 23) - 1.0;
            mono[first + i] = 0.9 * white * std::exp(-double(i) / (0.002 * rate));
        }
    }
    const std::vector<double> toneStarts = {4.25, 5.0};
    for (size_t i = static_cast<size_t>(4.25 * rate); i < mono.size(); ++i) {
        mono[i] += 0.3 * std::sin(2 * 3.14159265358979 * 440 * double(i) / rate);
        if (i >= static_cast<size_t>(5.0 * rate))
            mono[i] += 0.4 * std::sin(2 * 3.14159265358979 * 1500 * double(i) / rate);
    }
    std::vector<int16_t> samples(mono.size());
    for (size_t i = 0; i < mono.size(); ++i)
        samples[i] =
            static_cast<int16_t>(std::lround(std::max(-1.0, std::min(1.0, mono[i])) * 32767));
    OrvTestFolder folder;
    std::string path = folder.DataPath("hits.wav");
    ASSERT_TRUE(OrvMusicWriteAudio(path, Wav16, rate, 1, samples));
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    ASSERT_TRUE(analysis.Analyse(path, diagnostics));

    std::vector<size_t> hops = OnsetHops(analysis);
    std::vector<double> expected = clicks;
    expected.insert(expected.end(), toneStarts.begin(), toneStarts.end());
    for (double at : expected) {
        long want = std::lround(at * 100);
        bool found = false;
        for (size_t hop : hops)
            found = found || std::labs(long(hop) - want) <= 1;
        EXPECT_TRUE(found) << "no onset within a hop of " << at << " s";
    }
    // Digital silence itself holds none.
    for (size_t hop : hops) {
        bool nearOne = false;
        for (double at : expected)
            nearOne = nearOne || std::labs(long(hop) - std::lround(at * 100)) <= 3;
        EXPECT_TRUE(nearOne) << "an onset at hop " << hop << " far from every hit";
    }
}

TEST(OrvMusicAnalysis, TonesFallInTheirBandsAndClicksBecomeOnsetsAtTheirHops) {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    ASSERT_TRUE(analysis.Analyse(WriteTrack(folder, "track.wav", 44100, 2, 5.0, Tones, Clicks),
                                 diagnostics));
    EXPECT_EQ("", diagnostics.Text());
    EXPECT_EQ(500u + 200u, analysis.HopCount()) << "five seconds and two of tail";
    ExpectTonesAndClicks(analysis);

    // The groups are sums of their bands: the 60 Hz tone is bass, the others are not.
    EXPECT_NEAR(1.0, Source(analysis, "music.bass").ValueAt(500), 0.05);
    EXPECT_LT(Source(analysis, "music.bass").ValueAt(2500), 0.05);
    EXPECT_GT(Source(analysis, "music.mid").ValueAt(1500), 0.8);
    EXPECT_GT(Source(analysis, "music.treble").ValueAt(2500), 0.9);
    // The level: the same amplitude for three seconds (a 20 ms window holds no whole period
    // of 60 Hz, so that one wavers a little), much less under the bed.
    const OrvSampledCurve& level = Source(analysis, "music.level");
    EXPECT_NEAR(level.ValueAt(2500), level.ValueAt(1500), 0.02);
    EXPECT_NEAR(level.ValueAt(500), level.ValueAt(1500), 0.08);
    EXPECT_LT(level.ValueAt(3500), 0.06) << "the soft bed";

    // Every variant is its definition applied to the raw source, at the analysis's hop.
    for (const char* base : {"music.level", "music.band[8]", "music.onset"}) {
        const std::vector<float>& raw = Source(analysis, base).Samples();
        EXPECT_EQ(OrvSourceShaping::Smooth(raw, 0.01, OrvMusicAnalysis::RiseSeconds,
                                           OrvMusicAnalysis::FallSeconds),
                  Source(analysis, std::string(base) + ".smooth").Samples())
            << base;
        EXPECT_EQ(OrvSourceShaping::Integrate(raw, 0.01),
                  Source(analysis, std::string(base) + ".sum").Samples())
            << base;
    }
    // The level stays near its value for the tones: its sum grows by that much a second.
    const OrvSampledCurve& levelSum = Source(analysis, "music.level.sum");
    EXPECT_NEAR(2.0 * level.ValueAt(2000), levelSum.ValueAt(2500) - levelSum.ValueAt(500), 0.1);

    // Between hops values are interpolated; the uniforms are the raw values at the position.
    const OrvSampledCurve& band8 = Source(analysis, Band(8));
    EXPECT_DOUBLE_EQ(0.3 * band8.Samples()[101] + 0.7 * band8.Samples()[100], band8.ValueAt(1003));
    OrvMusicUniforms uniforms;
    analysis.FillUniforms(1503, uniforms);
    EXPECT_FLOAT_EQ(float(band8.ValueAt(1503)), uniforms.bands[8]);
    EXPECT_FLOAT_EQ(float(level.ValueAt(1503)), uniforms.level);
    EXPECT_FLOAT_EQ(float(Source(analysis, "music.onset").ValueAt(1503)), uniforms.onset);
}

TEST(OrvMusicAnalysis, MonoAnd48kHzFilesGiveTheSameBandsAndOnsets) {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis mono;
    ASSERT_TRUE(
        mono.Analyse(WriteTrack(folder, "mono.wav", 44100, 1, 5.0, Tones, Clicks), diagnostics));
    ExpectTonesAndClicks(mono);
    OrvMusicAnalysis resampled;
    ASSERT_TRUE(resampled.Analyse(WriteTrack(folder, "48k.wav", 48000, 2, 5.0, Tones, Clicks),
                                  diagnostics));
    EXPECT_EQ(700u, resampled.HopCount()) << "hops are of the track's time, not its samples";
    ExpectTonesAndClicks(resampled);
    EXPECT_EQ("", diagnostics.Text());
}

TEST(OrvMusicAnalysis, ShortSilentAndUnreadableFilesGiveSourcesThatMakeSense) {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    // A one-second tone: past its end (and the tail) raw and smoothed values are 0 and the
    // sums hold their total, however far the show goes on.
    ASSERT_TRUE(analysis.Analyse(
        WriteTrack(folder, "short.wav", 44100, 2, 1.0, {{0.0, 1.0, 1000, 0.5}}, {}), diagnostics));
    EXPECT_EQ(300u, analysis.HopCount());
    const OrvSampledCurve& level = Source(analysis, "music.level");
    const OrvSampledCurve& smooth = Source(analysis, "music.level.smooth");
    const OrvSampledCurve& sum = Source(analysis, "music.level.sum");
    EXPECT_NEAR(1.0, level.ValueAt(500), 0.05);
    EXPECT_EQ(0.0, level.ValueAt(1100));
    EXPECT_LT(smooth.ValueAt(3000), 0.01);
    EXPECT_EQ(0.0, level.ValueAt(600000));
    EXPECT_EQ(smooth.ValueAt(3000), smooth.ValueAt(600000));
    EXPECT_GT(sum.ValueAt(3000), 0.9);
    EXPECT_EQ(sum.ValueAt(3000), sum.ValueAt(600000));
    EXPECT_EQ("", diagnostics.Text());

    // Silence: every source 0 everywhere, and nothing to warn about.
    ASSERT_TRUE(
        analysis.Analyse(WriteTrack(folder, "silence.wav", 44100, 2, 2.0, {}, {}), diagnostics));
    for (const std::string& name : OrvMusicAnalysis::SourceNames())
        for (unsigned position : {0u, 1234u, 5000u})
            EXPECT_EQ(0.0, Source(analysis, name).ValueAt(position)) << name;
    EXPECT_EQ("", diagnostics.Text());

    // Not audio: nothing analysed and every source 0; the warning is the music loader's.
    folder.WriteData("noise.wav", std::string(5000, 'x'));
    EXPECT_FALSE(analysis.Analyse(folder.DataPath("noise.wav"), diagnostics));
    EXPECT_FALSE(analysis.Analysed());
    EXPECT_EQ(0.0, Source(analysis, "music.bass.sum").ValueAt(1000));
    EXPECT_EQ("", diagnostics.Text());
}

TEST(OrvMusicAnalysis, TheTempoOfABeatIsFoundWhenAskedFor) {
    OrvTestFolder folder;
    std::vector<double> beats;
    for (double t = 0.25; t < 20; t += 0.5) // 120 bpm
        beats.push_back(t);
    std::string path = WriteTrack(folder, "beat.wav", 44100, 2, 20.0, {}, beats);
    OrvDiagnostics diagnostics;
    OrvMusicAnalysis analysis;
    ASSERT_TRUE(analysis.Analyse(path, diagnostics));
    EXPECT_EQ(0.0, analysis.Bpm()) << "not asked for";
    ASSERT_TRUE(analysis.Analyse(path, diagnostics, true));
    EXPECT_NEAR(120.0, analysis.Bpm(), 2.4);
    EXPECT_GE(analysis.TempoConfidence(), OrvMusicAnalysis::ConfidentTempo);
}
