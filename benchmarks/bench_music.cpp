// What decoding the music costs on the audio thread: one Fill() of a device callback's worth
// of frames (1024, about 23 ms of sound) for each format the engine streams. The
// "x_realtime" counter says how many times faster than real time a track decodes; its
// inverse is the share of one core that playing it takes.

#include "audio/OrvAudioDevice.h"
#include "audio/OrvAudioStream.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sndfile.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string Folder() {
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/orv-bench-music-XXXXXX";
        folder = mkdtemp(pattern) ? pattern : "/tmp";
    }
    return folder;
}

// Ten seconds of two detuned sines with a little noise, so codecs have real work to do.
std::string Track(const char* name, int format, int rate, int channels) {
    std::string path = Folder() + "/" + name;
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return "";
    const int frames = 10 * rate;
    std::vector<float> samples(size_t(frames) * channels);
    unsigned noise = 1;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            samples[size_t(i) * channels + c] =
                float(0.3 * std::sin(2 * M_PI * 440.0 * i / rate + c) +
                      0.2 * std::sin(2 * M_PI * 663.0 * i / rate) +
                      0.02 * (double(noise >> 8) / double(1u << 24) - 0.5));
        }
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return path;
}

void FillCallbacks(benchmark::State& state, const std::string& path) {
    OrvAudioStream stream;
    if (path.empty() || !stream.Open(path)) {
        state.SkipWithError("cannot open the track");
        return;
    }
    std::vector<int16_t> buffer(size_t(OrvAudioDevice::FramesPerCallback) * 2);
    for (auto _ : state) {
        stream.Fill(buffer.data(), OrvAudioDevice::FramesPerCallback);
        if (stream.Ended())
            stream.Seek(0);
        benchmark::DoNotOptimize(buffer.data());
    }
    // Seconds of sound decoded per second of work: how many times faster than real time.
    const double callbackSeconds = double(OrvAudioDevice::FramesPerCallback) / 44100.0;
    state.counters["x_realtime"] = benchmark::Counter(double(state.iterations()) * callbackSeconds,
                                                      benchmark::Counter::kIsRate);
}

void BM_Wav44100Stereo(benchmark::State& state) {
    static std::string path = Track("a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2);
    FillCallbacks(state, path);
}
void BM_Wav22050MonoResampled(benchmark::State& state) {
    static std::string path = Track("b.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1);
    FillCallbacks(state, path);
}
void BM_Flac44100Stereo(benchmark::State& state) {
    static std::string path = Track("c.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2);
    FillCallbacks(state, path);
}
void BM_OggVorbis44100Stereo(benchmark::State& state) {
    static std::string path = Track("d.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2);
    FillCallbacks(state, path);
}
void BM_OggOpus48000StereoResampled(benchmark::State& state) {
    static std::string path = Track("e.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 2);
    FillCallbacks(state, path);
}
void BM_Mp344100Stereo(benchmark::State& state) {
    static std::string path = Track("f.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2);
    FillCallbacks(state, path);
}

} // namespace

BENCHMARK(BM_Wav44100Stereo);
BENCHMARK(BM_Wav22050MonoResampled);
BENCHMARK(BM_Flac44100Stereo);
BENCHMARK(BM_OggVorbis44100Stereo);
BENCHMARK(BM_OggOpus48000StereoResampled);
BENCHMARK(BM_Mp344100Stereo);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* name : {"a.wav", "b.wav", "c.flac", "d.ogg", "e.opus", "f.mp3"})
        std::remove((Folder() + "/" + name).c_str());
    rmdir(Folder().c_str());
    return 0;
}
