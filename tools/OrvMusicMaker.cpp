// Synthesizes the bundled show's music: a 64-bar track in A minor, the chords Am F C G one bar
// each, laid out in the sections the show's scenes follow (bars counted from 0):
//
//    0 -  8  intro      pads fade in, an arpeggio whose filter opens, hi-hats from bar 4 and a
//                       noise riser into bar 8
//    8 - 16  groove     kick on every beat, claps on 2 and 4, off-beat hats and bass
//   16 - 24  theme      the lead's melody comes in
//   24 - 32  theme II   open hats, a rolling bass, the melody an octave higher the second time
//   32 - 40  break      no drums: pads, a soft lead in long notes and a low drone
//   40 - 48  build-up   a snare roll that doubles its speed, a riser, kicks from bar 44 and a
//                       beat of silence before the drop
//   48 - 60  drop       everything, the melody doubled an octave up, crashes every four bars
//   60 - 64  outro      a last hit and the A minor chord ringing out
//
//   orv-make-music <output file> <bpm> <bars>
//
// `bars` sets the file's length: the arrangement is cut there, or followed by silence. The
// format follows the file name: ".ogg" writes Ogg Vorbis, anything else 16-bit WAV. Everything
// is computed from the arguments alone (a fixed noise seed, no clock), so every build writes
// the same sound: a WAV file is the same to the byte, an Ogg file decodes to the same samples
// (its stream serial number is drawn by the encoding library).

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
const int Rate = 44100;
const double Pi = 3.14159265358979323846;

// A deterministic noise source, -1 to 1.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state;
};

// A state-variable filter (the trapezoidal form, stable at any cutoff below half the rate).
class Filter {
public:
    void Set(double cutoff, double resonance) {
        cutoff = std::min(std::max(cutoff, 20.0), Rate * 0.45);
        g = std::tan(Pi * cutoff / Rate);
        k = 2.0 - 2.0 * std::min(std::max(resonance, 0.0), 0.95);
        a1 = 1.0 / (1.0 + g * (g + k));
    }
    // Returns the low-pass output; band and high are kept for callers that want them.
    double Process(double input) {
        double v3 = input - ic2;
        double v1 = a1 * ic1 + g * a1 * v3;
        double v2 = ic2 + g * v1;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        low = v2;
        band = v1;
        high = input - k * v1 - v2;
        return low;
    }
    double low = 0, band = 0, high = 0;

private:
    double g = 0, k = 2, a1 = 1, ic1 = 0, ic2 = 0;
};

double NoteFrequency(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// A naive saw with its discontinuity smoothed (polyBLEP), so high notes do not fizz.
double Saw(double phase, double increment) {
    double t = phase - std::floor(phase);
    double value = 2 * t - 1;
    if (t < increment) {
        double x = t / increment;
        value -= x + x - x * x - 1;
    } else if (t > 1 - increment) {
        double x = (t - 1) / increment;
        value -= x * x + x + x + 1;
    }
    return value;
}

double Square(double phase, double increment, double width) {
    return 0.5 * (Saw(phase, increment) - Saw(phase + width, increment));
}

// One stereo track of the mix.
struct Bus {
    std::vector<float> left, right;
    explicit Bus(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    void Add(long index, double l, double r) {
        if (index < 0 || index >= static_cast<long>(left.size()))
            return;
        left[index] += static_cast<float>(l);
        right[index] += static_cast<float>(r);
    }
    std::size_t Frames() const { return left.size(); }
};

// The instruments. Each renders one note into a bus from sample `start`; `pan` goes from -1
// (left) to 1 (right).
void Kick(Bus& bus, long start, double gain, Noise& noise) {
    const long length = static_cast<long>(0.45 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        // The pitch falls from about 170 Hz to 48 Hz: the phase is the sweep's integral.
        double phase = 2 * Pi * (48 * t + 120 * (1 - std::exp(-t * 32)) / 32);
        double body = std::sin(phase) * std::exp(-t * 6.5);
        double click = noise.Next() * std::exp(-t * 500) * 0.25;
        double value = std::tanh((body + click) * 1.6) * gain;
        bus.Add(start + i, value, value);
    }
}

void Clap(Bus& bus, long start, double gain, Noise& noise) {
    Filter filter;
    filter.Set(1400, 0.45);
    const long length = static_cast<long>(0.35 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        // Three quick slaps, then the tail.
        double slaps = 0;
        for (int k = 0; k < 3; ++k) {
            double s = t - k * 0.011;
            if (s >= 0)
                slaps += std::exp(-s * 180);
        }
        double envelope = std::min(1.0, slaps) * 0.8 + std::exp(-t * 14) * 0.5;
        filter.Process(noise.Next());
        double value = filter.band * envelope * 1.6;
        double tone = std::sin(2 * Pi * 185 * t) * std::exp(-t * 30) * 0.35;
        value = (value + tone) * gain;
        bus.Add(start + i, value * 1.05, value * 0.95);
    }
}

void Hat(Bus& bus, long start, double gain, bool open, double pan, Noise& noise) {
    Filter filter;
    filter.Set(7000, 0.2);
    const double decay = open ? 9 : 60;
    const long length = static_cast<long>((open ? 0.5 : 0.1) * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        filter.Process(noise.Next());
        double value = filter.high * std::exp(-t * decay) * gain * 0.5;
        bus.Add(start + i, value * (1 - pan * 0.5), value * (1 + pan * 0.5));
    }
}

void Crash(Bus& bus, long start, double gain, Noise& noise) {
    Filter left, right;
    left.Set(5000, 0.1);
    right.Set(5200, 0.1);
    const long length = static_cast<long>(2.5 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double envelope = std::exp(-t * 1.8) * std::min(1.0, t * 400) * gain * 0.45;
        left.Process(noise.Next());
        right.Process(noise.Next());
        bus.Add(start + i, left.high * envelope, right.high * envelope);
    }
}

// A snare for the build-up's roll: a tone and a band of noise.
void Snare(Bus& bus, long start, double gain, Noise& noise) {
    Filter filter;
    filter.Set(2500, 0.3);
    const long length = static_cast<long>(0.18 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        filter.Process(noise.Next());
        double value = (filter.band * 4.0 * std::exp(-t * 22) +
                        std::sin(2 * Pi * 210 * t) * std::exp(-t * 35) * 0.6) *
                       gain;
        bus.Add(start + i, value, value);
    }
}

// A saw bass through a resonant low-pass whose cutoff snaps shut after each attack, with a
// sine an octave down underneath.
void Bass(Bus& bus, long start, long length, int midi, double gain, double brightness) {
    Filter filter;
    double frequency = NoteFrequency(midi);
    double increment = frequency / Rate;
    double phase = 0;
    const long release = static_cast<long>(0.02 * Rate);
    for (long i = 0; i < length + release; ++i) {
        double t = static_cast<double>(i) / Rate;
        double envelope = std::min(1.0, t * 300);
        if (i > length)
            envelope *= 1.0 - static_cast<double>(i - length) / release;
        filter.Set(120 + brightness * 1800 * std::exp(-t * 14), 0.55);
        double saw = filter.Process(Saw(phase, increment));
        double sub = std::sin(2 * Pi * phase * 0.5);
        phase += increment;
        double value = (saw * 0.7 + sub * 0.6) * envelope * gain;
        bus.Add(start + i, value, value);
    }
}

// A pad chord: three detuned saws per note, spread left and right, slow attack and release,
// through a low-pass at `cutoff`.
void Pad(Bus& bus, long start, long length, const std::vector<int>& notes, double gain,
         double cutoff) {
    const double detune[3] = {-0.008, 0.0, 0.0085};
    const double pans[3] = {-0.8, 0.0, 0.8};
    const long attack = static_cast<long>(0.25 * Rate);
    const long release = static_cast<long>(0.7 * Rate);
    for (std::size_t n = 0; n < notes.size(); ++n) {
        for (int v = 0; v < 3; ++v) {
            Filter filter;
            filter.Set(cutoff, 0.15);
            double increment = NoteFrequency(notes[n]) * (1 + detune[v]) / Rate;
            // Each voice starts at its own point of the wave, so the chord does not click.
            double phase = 0.37 * (n * 3 + v);
            for (long i = 0; i < length + release; ++i) {
                double envelope = std::min(1.0, static_cast<double>(i) / attack);
                if (i > length)
                    envelope *= 1.0 - static_cast<double>(i - length) / release;
                double value = filter.Process(Saw(phase, increment)) * envelope * gain * 0.12;
                phase += increment;
                bus.Add(start + i, value * (1 - pans[v]) * 0.5 + value * 0.25,
                        value * (1 + pans[v]) * 0.5 + value * 0.25);
            }
        }
    }
}

// The lead: two pulse waves a few cents apart with a vibrato that sets in after the attack.
void Lead(Bus& bus, long start, long length, int midi, double gain, double cutoff) {
    Filter filter;
    filter.Set(cutoff, 0.25);
    double frequency = NoteFrequency(midi);
    double phaseA = 0, phaseB = 0.3;
    const long release = static_cast<long>(0.08 * Rate);
    for (long i = 0; i < length + release; ++i) {
        double t = static_cast<double>(i) / Rate;
        double envelope = std::min(1.0, t * 200) * (0.75 + 0.25 * std::exp(-t * 6));
        if (i > length)
            envelope *= 1.0 - static_cast<double>(i - length) / release;
        double vibrato = 1 + 0.006 * std::sin(2 * Pi * 5.5 * t) * std::min(1.0, t * 4);
        double incA = frequency * vibrato * 1.003 / Rate;
        double incB = frequency * vibrato * 0.997 / Rate;
        double value = filter.Process(Square(phaseA, incA, 0.35) + Saw(phaseB, incB) * 0.5);
        phaseA += incA;
        phaseB += incB;
        value *= envelope * gain * 0.35;
        bus.Add(start + i, value * 0.95, value * 1.05);
    }
}

// A plucked arpeggio note: a saw through a low-pass that closes quickly.
void Pluck(Bus& bus, long start, int midi, double gain, double cutoff, double pan) {
    Filter filter;
    double increment = NoteFrequency(midi) / Rate;
    double phase = 0;
    const long length = static_cast<long>(0.3 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        filter.Set(cutoff * (0.3 + 0.7 * std::exp(-t * 25)), 0.3);
        double value = filter.Process(Saw(phase, increment)) * std::exp(-t * 11) *
                       std::min(1.0, t * 500) * gain * 0.3;
        phase += increment;
        bus.Add(start + i, value * (1 - pan) * 0.5 + value * 0.3,
                value * (1 + pan) * 0.5 + value * 0.3);
    }
}

// Noise through a band-pass that sweeps up over `length`, growing louder: the build-ups.
void Riser(Bus& bus, long start, long length, double gain, Noise& noise) {
    Filter left, right;
    for (long i = 0; i < length; ++i) {
        double x = static_cast<double>(i) / length;
        double cutoff = 300 * std::pow(25.0, x);
        left.Set(cutoff, 0.6);
        right.Set(cutoff * 1.05, 0.6);
        left.Process(noise.Next());
        right.Process(noise.Next());
        double envelope = x * x * gain * 0.6;
        bus.Add(start + i, left.band * envelope, right.band * envelope);
    }
}

// A soft sine drone on the bass notes, for the break.
void Drone(Bus& bus, long start, long length, int midi, double gain) {
    double frequency = NoteFrequency(midi);
    const long fade = static_cast<long>(0.3 * Rate);
    for (long i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / Rate;
        double envelope = std::min(1.0, static_cast<double>(std::min(i, length - i)) / fade);
        double value =
            (std::sin(2 * Pi * frequency * t) + 0.2 * std::sin(2 * Pi * frequency * 2 * t)) *
            envelope * gain * 0.35;
        bus.Add(start + i, value, value);
    }
}

// Echoes that alternate between left and right (a ping-pong delay) of the bus's middle.
void PingPong(Bus& bus, long delay, double feedback, double mix) {
    const std::size_t d = static_cast<std::size_t>(delay);
    std::vector<float> echoLeft(bus.Frames(), 0.0f), echoRight(bus.Frames(), 0.0f);
    for (std::size_t i = d; i < bus.Frames(); ++i) {
        std::size_t from = i - d;
        double middle = (bus.left[from] + bus.right[from]) * 0.5;
        echoLeft[i] = static_cast<float>((middle + echoRight[from]) * feedback);
        echoRight[i] = static_cast<float>(echoLeft[from] * feedback);
    }
    for (std::size_t i = 0; i < bus.Frames(); ++i) {
        bus.left[i] += static_cast<float>(echoLeft[i] * mix);
        bus.right[i] += static_cast<float>(echoRight[i] * mix);
    }
}

// A small room: four feedback combs and two all-passes per side (Schroeder's reverberator),
// the right side slightly longer so the two decorrelate.
void Reverb(const Bus& send, Bus& out, double mix) {
    const int combs[4] = {1557, 1617, 1491, 1422};
    const int allpasses[2] = {225, 556};
    for (int side = 0; side < 2; ++side) {
        const std::vector<float>& input = side == 0 ? send.left : send.right;
        std::vector<float>& output = side == 0 ? out.left : out.right;
        std::vector<float> wet(input.size(), 0.0f);
        for (int c = 0; c < 4; ++c) {
            std::size_t length = static_cast<std::size_t>(combs[c] + side * 23);
            std::vector<double> line(length, 0.0);
            double damp = 0;
            std::size_t at = 0;
            for (std::size_t i = 0; i < input.size(); ++i) {
                double delayed = line[at];
                damp = delayed * 0.6 + damp * 0.4;
                line[at] = input[i] + damp * 0.84;
                wet[i] += static_cast<float>(delayed);
                at = (at + 1) % length;
            }
        }
        for (int a = 0; a < 2; ++a) {
            std::size_t length = static_cast<std::size_t>(allpasses[a] + side * 13);
            std::vector<double> line(length, 0.0);
            std::size_t at = 0;
            for (std::size_t i = 0; i < wet.size(); ++i) {
                double delayed = line[at];
                double value = -wet[i] + delayed;
                line[at] = wet[i] + delayed * 0.5;
                wet[i] = static_cast<float>(value);
                at = (at + 1) % length;
            }
        }
        for (std::size_t i = 0; i < output.size(); ++i)
            output[i] += static_cast<float>(wet[i] * mix * 0.25);
    }
}

// The chords, one per bar: Am, F, C, G (pad voicings, bass roots and arpeggio tones).
const int PadChords[4][4] = {
    {45, 57, 60, 64}, {41, 57, 60, 65}, {48, 55, 60, 64}, {43, 55, 59, 62}};
const int BassRoots[4] = {33, 29, 36, 31};
const int ArpTones[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};

// The melody over four bars, on a grid of sixteenths: step, note, length in steps.
struct Note {
    int step, midi, length;
};
const std::vector<Note> Melody[4] = {
    {{0, 76, 3}, {3, 76, 3}, {6, 74, 2}, {8, 72, 2}, {10, 74, 2}, {12, 76, 4}},
    {{0, 69, 3}, {3, 72, 3}, {6, 77, 2}, {8, 76, 2}, {10, 74, 2}, {12, 72, 4}},
    {{0, 67, 3}, {3, 72, 3}, {6, 76, 2}, {8, 79, 4}, {12, 76, 4}},
    {{0, 74, 3}, {3, 71, 3}, {6, 67, 2}, {8, 71, 2}, {10, 74, 2}, {12, 74, 2}, {14, 71, 2}}};
// The answer of the second four bars ends on the tonic.
const std::vector<Note> MelodyEnding = {{0, 74, 3}, {3, 79, 3},  {6, 76, 2},
                                        {8, 74, 2}, {10, 71, 2}, {12, 69, 4}};

// Where things happen, in samples, for the arrangement below.
class Timing {
public:
    explicit Timing(double bpm) : beat(60.0 / bpm) {}
    long At(double bar, double beats = 0) const {
        return static_cast<long>(std::lround((bar * 4 + beats) * beat * Rate));
    }
    long Length(double beats) const { return static_cast<long>(std::lround(beats * beat * Rate)); }
    double BeatSeconds() const { return beat; }

private:
    double beat;
};

// The tracks that are treated alike: the drums and the risers as they are, the bass, pads and
// arpeggio ducked by the kick, the lead with its echoes, and what goes to the reverb.
struct Mix {
    Bus drums, bass, pads, lead, arp, send;
    explicit Mix(std::size_t frames)
        : drums(frames), bass(frames), pads(frames), lead(frames), arp(frames), send(frames) {}
};

bool Between(int bar, int from, int to) {
    return bar >= from && bar < to;
}

void Arrange(Mix& mix, const Timing& time, int bars) {
    Noise noise(12345);
    for (int bar = 0; bar < std::min(bars, 64); ++bar) {
        const int chord = bar % 4;
        const bool groove = Between(bar, 8, 32) || Between(bar, 48, 60);
        const bool breakdown = Between(bar, 32, 40);
        const bool build = Between(bar, 40, 48);

        // Drums.
        if (groove || (build && bar >= 44)) {
            for (int b = 0; b < 4; ++b) {
                // The drop is announced by a beat of silence: bar 47's last beat is empty.
                if (bar == 47 && b == 3)
                    continue;
                Kick(mix.drums, time.At(bar, b), 0.9, noise);
            }
        }
        if (groove) {
            Clap(mix.drums, time.At(bar, 1), 0.55, noise);
            Clap(mix.drums, time.At(bar, 3), 0.55, noise);
            Clap(mix.send, time.At(bar, 1), 0.15, noise);
            Clap(mix.send, time.At(bar, 3), 0.15, noise);
            for (int e = 0; e < 4; ++e)
                Hat(mix.drums, time.At(bar, e + 0.5), 0.5, false, 0.3, noise);
            bool busy = bar >= 24;
            if (busy) {
                for (int s = 0; s < 16; s += 2)
                    Hat(mix.drums, time.At(bar, s * 0.25 + 0.25), 0.22, false, -0.4, noise);
                for (int e = 0; e < 4; e += 2)
                    Hat(mix.drums, time.At(bar, e + 1.5), 0.3, true, 0.5, noise);
            }
            // A fill of claps into the next section.
            if (bar == 15 || bar == 23 || bar == 31 || bar == 55) {
                Snare(mix.drums, time.At(bar, 3.5), 0.5, noise);
                Snare(mix.drums, time.At(bar, 3.75), 0.6, noise);
            }
        }
        if (Between(bar, 4, 8)) {
            for (int s = 0; s < 16; ++s)
                Hat(mix.drums, time.At(bar, s * 0.25), (s % 2 ? 0.35 : 0.6) * (bar - 3) / 4.0,
                    false, s % 2 ? -0.4 : 0.4, noise);
        }
        if (build) {
            // The roll doubles its speed: quarters, eighths, sixteenths, then thirty-seconds.
            double step = bar < 44 ? 1 : bar < 46 ? 0.5 : bar < 47 ? 0.25 : 0.125;
            double end = bar == 47 ? 3 : 4;
            for (double b = 0; b < end - 1e-9; b += step) {
                double rise = (bar - 40 + b / 4) / 8.0;
                // Faster hits overlap: each is softer, so the roll grows evenly.
                Snare(mix.drums, time.At(bar, b), (0.45 + 0.9 * rise) * (0.5 + 0.5 * step), noise);
            }
        }
        if (bar == 8 || bar == 16 || bar == 24 || bar == 32 || bar == 48 || bar == 52 ||
            bar == 56 || bar == 60)
            Crash(mix.drums, time.At(bar), bar == 48 || bar == 60 ? 1.0 : 0.7, noise);
        if (bar == 60)
            Kick(mix.drums, time.At(bar), 1.0, noise);

        // Risers into the groove and into the drop.
        if (bar == 6)
            Riser(mix.drums, time.At(6), time.At(8) - time.At(6), 0.8, noise);
        if (bar == 40)
            Riser(mix.drums, time.At(40), time.At(47, 3) - time.At(40), 1.5, noise);

        // Bass: off-beat eighths in the groove, rolling sixteenths from bar 24 and in the drop,
        // a drone in the break.
        const int root = BassRoots[chord];
        if (groove) {
            bool rolling = bar >= 24;
            if (rolling) {
                for (int s = 0; s < 16; ++s) {
                    if (s % 4 == 0)
                        continue; // the kick has the downbeats
                    int note = root + (s % 4 == 2 ? 12 : 0);
                    Bass(mix.bass, time.At(bar, s * 0.25), time.Length(0.2), note, 0.5, 0.9);
                }
            } else {
                for (int e = 0; e < 4; ++e)
                    Bass(mix.bass, time.At(bar, e + 0.5), time.Length(0.4), root, 0.6, 0.7);
            }
        }
        if (breakdown)
            Drone(mix.bass, time.At(bar), time.Length(4), root, 0.5);
        if (build && bar >= 44) {
            for (int e = 0; e < 4; ++e) {
                if (bar == 47 && e >= 3)
                    continue;
                Bass(mix.bass, time.At(bar, e + 0.5), time.Length(0.4), root, 0.5, 0.5);
            }
        }

        // Pads: all through, softer in the groove, fading in at the start and out at the end.
        std::vector<int> chordNotes(PadChords[chord], PadChords[chord] + 4);
        double padGain = groove ? 0.7 : 1.0;
        if (bar < 2)
            padGain *= (bar + 0.5) / 2.0;
        double padCutoff = 900 + std::min(bar, 8) * 200.0;
        if (breakdown)
            padCutoff = 1400;
        if (bar < 60) {
            Pad(mix.pads, time.At(bar), time.Length(4) - time.Length(0.1), chordNotes, padGain,
                padCutoff);
            Pad(mix.send, time.At(bar), time.Length(4), chordNotes, padGain * 0.3, padCutoff);
        } else if (bar == 60) {
            std::vector<int> last(PadChords[0], PadChords[0] + 4);
            Pad(mix.pads, time.At(60), time.Length(12), last, 1.0, 1800);
            Pad(mix.send, time.At(60), time.Length(12), last, 0.4, 1800);
        }

        // The arpeggio: sixteenths up and down two octaves, its filter opening in the intro and
        // the build-up.
        if (bar < 60) {
            double cutoff = 2500;
            if (bar < 8)
                cutoff = 400 + bar * 350;
            if (build)
                cutoff = 800 + (bar - 40) * 500;
            if (breakdown)
                cutoff = 1200;
            double gain = breakdown ? 0.5 : 0.8;
            const int order[8] = {0, 1, 2, 3, 4, 5, 4, 3};
            for (int s = 0; s < 16; ++s) {
                int k = order[s % 8];
                int note = ArpTones[chord][k % 3] + 12 * (k / 3) + 12;
                Pluck(mix.arp, time.At(bar, s * 0.25), note, gain, cutoff, s % 2 ? 0.5 : -0.5);
            }
        }

        // The lead: the melody from bar 16, an octave up on the second pass of bars 24 - 32 and
        // doubled an octave up in the drop; long notes in the break.
        const bool melody = Between(bar, 16, 32) || Between(bar, 48, 60);
        if (melody) {
            int phraseBar = bar % 8;
            const std::vector<Note>& notes = phraseBar == 7 ? MelodyEnding : Melody[phraseBar % 4];
            int shift = (Between(bar, 28, 32)) ? 12 : 0;
            for (const Note& note : notes) {
                long start = time.At(bar, note.step * 0.25);
                long length = time.Length(note.length * 0.25) - time.Length(0.05);
                Lead(mix.lead, start, length, note.midi + shift, 0.8, 3200);
                if (bar >= 48)
                    Lead(mix.lead, start, length, note.midi + 12, 0.35, 4000);
            }
        }
        if (breakdown && bar >= 34) {
            // The first note of each bar of the melody, held for the bar.
            int phraseBar = bar % 8;
            const std::vector<Note>& notes = phraseBar == 7 ? MelodyEnding : Melody[phraseBar % 4];
            Lead(mix.lead, time.At(bar), time.Length(3.5), notes[0].midi, 0.55, 1800);
        }
        if (bar == 60) {
            for (int k = 0; k < 3; ++k)
                Lead(mix.lead, time.At(60, k * 0.75), time.Length(0.6), 76 - k * 3 - (k == 2), 0.6,
                     2600);
            Lead(mix.lead, time.At(61), time.Length(3), 69, 0.5, 2200);
        }
    }
}

// The kick pumps the pads, bass and arpeggio: their level dips on every beat where it plays.
void Duck(Bus& bus, const Timing& time, int bars, double depth) {
    for (int bar = 0; bar < std::min(bars, 64); ++bar) {
        const bool kicks = Between(bar, 8, 32) || Between(bar, 44, 60);
        if (!kicks)
            continue;
        for (int b = 0; b < 4; ++b) {
            long start = time.At(bar, b);
            long length = time.Length(1);
            for (long i = 0; i < length; ++i) {
                long at = start + i;
                if (at < 0 || at >= static_cast<long>(bus.Frames()))
                    break;
                double t = static_cast<double>(i) / Rate;
                float gain = static_cast<float>(1.0 - depth * std::exp(-t * 9));
                bus.left[at] *= gain;
                bus.right[at] *= gain;
            }
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <output file> <bpm> <bars>\n", argv[0]);
        return 2;
    }
    std::string path = argv[1];
    double bpm = std::atof(argv[2]);
    int bars = std::atoi(argv[3]);
    if (bpm <= 0 || bars <= 0) {
        std::fprintf(stderr, "bpm and bars must be above 0\n");
        return 2;
    }
    const Timing time(bpm);
    const std::size_t frames = static_cast<std::size_t>(time.At(bars));

    Mix mix(frames);
    Arrange(mix, time, bars);
    Duck(mix.pads, time, bars, 0.55);
    Duck(mix.bass, time, bars, 0.35);
    Duck(mix.arp, time, bars, 0.45);
    PingPong(mix.lead, time.Length(0.75), 0.4, 0.45);
    PingPong(mix.arp, time.Length(0.75), 0.3, 0.3);
    for (std::size_t i = 0; i < frames; ++i) {
        mix.send.left[i] += mix.lead.left[i] * 0.35f;
        mix.send.right[i] += mix.lead.right[i] * 0.35f;
    }

    Bus master(frames);
    Reverb(mix.send, master, 1.0);
    const Bus* parts[] = {&mix.drums, &mix.bass, &mix.pads, &mix.lead, &mix.arp};
    const float gains[] = {0.8f, 0.8f, 0.8f, 1.2f, 1.1f};
    for (int p = 0; p < 5; ++p) {
        for (std::size_t i = 0; i < frames; ++i) {
            master.left[i] += parts[p]->left[i] * gains[p];
            master.right[i] += parts[p]->right[i] * gains[p];
        }
    }

    // Levels: the loudest bar is brought to an RMS of 0.28, then a soft clipper (tanh) rounds
    // off the peaks of kicks, crashes and the snare roll below full scale.
    double loudest = 0;
    for (int bar = 0; bar < bars; ++bar) {
        std::size_t from = static_cast<std::size_t>(time.At(bar));
        std::size_t to = std::min(frames, static_cast<std::size_t>(time.At(bar + 1)));
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += master.left[i] * master.left[i] + master.right[i] * master.right[i];
        if (to > from)
            loudest = std::max(loudest, std::sqrt(sum / (2.0 * (to - from))));
    }
    const double drive = loudest > 0 ? 0.28 / loudest : 1;
    std::vector<float> block(2 * 4096);
    SF_INFO info = {};
    info.samplerate = Rate;
    info.channels = 2;
    bool ogg = path.size() > 4 && path.compare(path.size() - 4, 4, ".ogg") == 0;
    info.format = ogg ? (SF_FORMAT_OGG | SF_FORMAT_VORBIS) : (SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return 1;
    }
    for (std::size_t start = 0; start < frames; start += 4096) {
        std::size_t count = std::min<std::size_t>(4096, frames - start);
        for (std::size_t i = 0; i < count; ++i) {
            block[2 * i] = static_cast<float>(std::tanh(master.left[start + i] * drive) * 0.95);
            block[2 * i + 1] =
                static_cast<float>(std::tanh(master.right[start + i] * drive) * 0.95);
        }
        sf_writef_float(file, block.data(), static_cast<sf_count_t>(count));
    }
    sf_close(file);
    return 0;
}
