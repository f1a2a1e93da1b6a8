#include "support/OrvMusicTestAudio.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sndfile.h>
#include <thread>

namespace {

constexpr int RampPeriod = 32749;

int16_t Round16(double value) {
    double scaled = std::lrint(value * 32768.0);
    if (scaled > 32767.0)
        return 32767;
    if (scaled < -32768.0)
        return -32768;
    return int16_t(scaled);
}

} // namespace

size_t OrvMusicSoundFrames(const std::vector<int16_t>& capture) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < capture.size(); i += 2)
        if (capture[i] != 0 || capture[i + 1] != 0)
            ++count;
    return count;
}

namespace {

size_t TrailingSilence(const std::vector<int16_t>& capture) {
    size_t frames = capture.size() / 2;
    size_t count = 0;
    while (count < frames && capture[2 * (frames - 1 - count)] == 0 &&
           capture[2 * (frames - 1 - count) + 1] == 0)
        ++count;
    return count;
}

} // namespace

std::vector<int16_t> OrvMusicRamp(int frames) {
    std::vector<int16_t> samples(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        samples[2 * size_t(i)] = int16_t(1 + i % RampPeriod);
        samples[2 * size_t(i) + 1] = int16_t(-(1 + i / RampPeriod));
    }
    return samples;
}

int OrvMusicRampIndex(int16_t left, int16_t right) {
    if (left < 1 || left > RampPeriod || right > -1)
        return -1;
    return (-right - 1) * RampPeriod + (left - 1);
}

std::vector<int16_t> OrvMusicSine(int frames, int rate, int channels, double frequency,
                                  double phase, double amplitude) {
    const double pi = std::acos(-1.0);
    std::vector<int16_t> samples(size_t(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[size_t(i) * channels + c] =
                Round16(amplitude * std::sin(2.0 * pi * frequency * i / rate + phase + c));
    return samples;
}

bool OrvMusicWriteAudio(const std::string& path, int format, int rate, int channels,
                        const std::vector<int16_t>& samples) {
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    sf_count_t frames = sf_count_t(samples.size() / channels);
    bool written;
    int subtype = format & SF_FORMAT_SUBMASK;
    if (subtype == SF_FORMAT_PCM_16 || subtype == SF_FORMAT_PCM_24) {
        // Integer PCM takes 16-bit samples unchanged.
        written = sf_writef_short(file, samples.data(), frames) == frames;
    } else {
        // libsndfile 1.2.0's MP3 encoder drops half of every frame fed as shorts; as floats
        // it encodes properly, and the codecs work in floats anyway.
        std::vector<float> floats(samples.size());
        for (size_t i = 0; i < samples.size(); ++i)
            floats[i] = float(samples[i]) / 32768.0f;
        written = sf_writef_float(file, floats.data(), frames) == frames;
    }
    return sf_close(file) == 0 && written;
}

std::vector<int16_t> OrvMusicDecode(const std::string& path) {
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    std::vector<int16_t> samples;
    if (!file)
        return samples;
    std::vector<float> buffer(4096 * size_t(info.channels));
    sf_count_t got;
    while ((got = sf_readf_float(file, buffer.data(), 4096)) > 0)
        for (sf_count_t i = 0; i < got * info.channels; ++i)
            samples.push_back(Round16(buffer[size_t(i)]));
    sf_close(file);
    return samples;
}

OrvMusicCapture::OrvMusicCapture(const std::string& folder, const std::string& name)
    : path(folder + "/" + name) {
    // A short delay between buffers plays about ten times faster than real time, which keeps
    // the tests quick without letting the silence while paused grow into megabytes.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "2", 1);
}

std::vector<int16_t> OrvMusicCapture::Samples() const {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Only whole stereo frames count: the driver may be in the middle of writing one. Until it
    // wrote the first, there is nothing to copy and no storage to copy to: memcpy must not be
    // given a null pointer, even for zero bytes.
    std::vector<int16_t> samples(bytes.size() / 4 * 2);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(int16_t));
    return samples;
}

bool OrvMusicCapture::WaitForSound(size_t frames, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (OrvMusicSoundFrames(Samples()) < frames) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool OrvMusicCapture::WaitForSilence(size_t frames, int timeoutMs) const {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (TrailingSilence(Samples()) < frames) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<OrvMusicSegment> OrvMusicRampSegments(const std::vector<int16_t>& capture,
                                                  int& strayFrames) {
    std::vector<OrvMusicSegment> segments;
    strayFrames = 0;
    bool inSegment = false;
    for (size_t i = 0; i + 1 < capture.size(); i += 2) {
        if (capture[i] == 0 && capture[i + 1] == 0) {
            inSegment = false;
            continue;
        }
        int index = OrvMusicRampIndex(capture[i], capture[i + 1]);
        if (index < 0) {
            ++strayFrames;
            inSegment = false;
            continue;
        }
        if (inSegment && index == segments.back().first + segments.back().count) {
            ++segments.back().count;
        } else {
            segments.push_back({index, 1});
            inSegment = true;
        }
    }
    return segments;
}

long OrvMusicFirstSound(const std::vector<int16_t>& capture, long fromFrame) {
    long frames = long(capture.size() / 2);
    for (long i = fromFrame; i < frames; ++i)
        if (capture[2 * i] != 0 || capture[2 * i + 1] != 0)
            return i;
    return -1;
}

long OrvMusicFirstSilence(const std::vector<int16_t>& capture, long fromFrame) {
    long frames = long(capture.size() / 2);
    for (long i = fromFrame; i < frames; ++i)
        if (capture[2 * i] == 0 && capture[2 * i + 1] == 0)
            return i;
    return frames;
}
