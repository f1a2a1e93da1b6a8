#include "audio/OrvAudioStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <samplerate.h>
#include <sndfile.h>

namespace {

// Frames decoded from the file per read and resampled per step. Small enough that a read
// inside the audio callback stays short, large enough that codec set-up costs are spread.
constexpr int ChunkFrames = 1024;

// Good enough that 22050 or 48000 Hz tracks sound clean, cheap enough for one track.
constexpr int ResamplerQuality = SRC_SINC_MEDIUM_QUALITY;

int16_t ToSample(float value) {
    // libsndfile hands integer formats over scaled to [-1, 1); float files and lossy codecs
    // may overshoot, and a broken file may even give NaN, so clamp before rounding.
    float scaled = value * 32768.0f;
    if (!(scaled > -32768.0f))
        return scaled == scaled ? -32768 : 0;
    if (scaled >= 32767.0f)
        return 32767;
    return static_cast<int16_t>(std::lrint(scaled));
}

} // namespace

OrvAudioStream::OrvAudioStream()
    : file(nullptr), resampler(nullptr), sourceRate(0), sourceChannels(0), channels(0),
      sourceFrames(0), inputEnded(true), ended(true), position(0), inputOffset(0),
      inputAvailable(0) {}

OrvAudioStream::~OrvAudioStream() {
    Close();
}

bool OrvAudioStream::Open(const std::string& path) {
    Close();
    SF_INFO info;
    std::memset(&info, 0, sizeof info);
    SNDFILE* opened = sf_open(path.c_str(), SFM_READ, &info);
    if (!opened)
        return false;
    int keptChannels = std::min(info.channels, 2);
    double ratio = info.samplerate > 0 ? double(OutputRate) / info.samplerate : 0.0;
    if (info.channels < 1 || info.samplerate < 1 || !src_is_valid_ratio(ratio)) {
        sf_close(opened);
        return false;
    }
    if (info.samplerate != OutputRate) {
        int error = 0;
        resampler = src_new(ResamplerQuality, keptChannels, &error);
        if (!resampler) {
            sf_close(opened);
            return false;
        }
    }
    file = opened;
    sourceRate = info.samplerate;
    sourceChannels = info.channels;
    channels = keptChannels;
    sourceFrames = info.frames;
    readBuffer.assign(size_t(ChunkFrames) * sourceChannels, 0.0f);
    input.assign(size_t(ChunkFrames) * channels, 0.0f);
    resampled.assign(size_t(ChunkFrames) * channels, 0.0f);
    inputOffset = 0;
    inputAvailable = 0;
    inputEnded = false;
    ended = false;
    position = 0;
    return true;
}

void OrvAudioStream::Close() {
    if (resampler)
        src_delete(resampler);
    resampler = nullptr;
    if (file)
        sf_close(file);
    file = nullptr;
    sourceRate = 0;
    sourceChannels = 0;
    channels = 0;
    sourceFrames = 0;
    inputOffset = 0;
    inputAvailable = 0;
    inputEnded = true;
    ended = true;
    position = 0;
}

bool OrvAudioStream::IsOpen() const {
    return file != nullptr;
}

void OrvAudioStream::ReadChunk() {
    sf_count_t got = sf_readf_float(file, readBuffer.data(), ChunkFrames);
    if (got <= 0) {
        // A short read is not the end yet (some decoders return less near a page edge);
        // only a read that brings nothing is.
        inputEnded = true;
        inputAvailable = 0;
        inputOffset = 0;
        return;
    }
    const float* from = readBuffer.data();
    float* to = input.data();
    for (sf_count_t i = 0; i < got; ++i) {
        for (int c = 0; c < channels; ++c)
            to[c] = from[c];
        from += sourceChannels;
        to += channels;
    }
    inputOffset = 0;
    inputAvailable = int(got);
}

void OrvAudioStream::Emit(int16_t* out, const float* frames, int count) const {
    if (channels == 1) {
        for (int i = 0; i < count; ++i) {
            int16_t value = ToSample(frames[i]);
            out[2 * i] = value;
            out[2 * i + 1] = value;
        }
    } else {
        for (int i = 0; i < 2 * count; ++i)
            out[i] = ToSample(frames[i]);
    }
}

void OrvAudioStream::Fill(int16_t* out, int frames) {
    if (frames <= 0)
        return;
    while (frames > 0 && file && !ended) {
        if (inputAvailable == 0 && !inputEnded) {
            ReadChunk();
            continue;
        }
        int produced = 0;
        if (!resampler) {
            if (inputAvailable == 0) {
                ended = true;
                break;
            }
            produced = std::min(frames, inputAvailable);
            Emit(out, input.data() + size_t(inputOffset) * channels, produced);
            inputOffset += produced;
            inputAvailable -= produced;
        } else {
            SRC_DATA step;
            std::memset(&step, 0, sizeof step);
            step.data_in = input.data() + size_t(inputOffset) * channels;
            step.input_frames = inputAvailable;
            step.data_out = resampled.data();
            step.output_frames = std::min(frames, ChunkFrames);
            step.end_of_input = inputEnded ? 1 : 0;
            step.src_ratio = double(OutputRate) / sourceRate;
            if (src_process(resampler, &step) != 0) {
                ended = true;
                break;
            }
            inputOffset += int(step.input_frames_used);
            inputAvailable -= int(step.input_frames_used);
            produced = int(step.output_frames_gen);
            // With room for output the resampler always takes input or gives output; when it
            // does neither its tail is flushed and the track is over.
            if (produced == 0 && step.input_frames_used == 0) {
                ended = true;
                break;
            }
            Emit(out, resampled.data(), produced);
        }
        out += size_t(produced) * OutputChannels;
        frames -= produced;
        position += uint64_t(produced) * BytesPerFrame;
    }
    if (frames > 0) {
        std::memset(out, 0, size_t(frames) * BytesPerFrame);
        position += uint64_t(frames) * BytesPerFrame;
    }
}

void OrvAudioStream::Seek(uint64_t bytePosition) {
    if (!file)
        return;
    uint64_t frame = bytePosition / BytesPerFrame;
    // The file frame that sounds at this output frame. Frames too far out to multiply are
    // certainly past the end of any file.
    bool pastEnd = frame > uint64_t(std::numeric_limits<int64_t>::max()) / uint64_t(sourceRate);
    int64_t sourceFrame = pastEnd ? 0 : int64_t(frame * uint64_t(sourceRate) / OutputRate);
    if (pastEnd || (sourceFrames >= 0 && sourceFrame >= sourceFrames)) {
        inputAvailable = 0;
        inputOffset = 0;
        inputEnded = true;
        ended = true;
        position = frame * BytesPerFrame;
        if (resampler)
            src_reset(resampler);
        return;
    }
    if (sf_seek(file, sourceFrame, SEEK_SET) < 0)
        return; // cannot seek: keep playing from where it is
    inputAvailable = 0;
    inputOffset = 0;
    inputEnded = false;
    ended = false;
    position = frame * BytesPerFrame;
    if (resampler)
        src_reset(resampler);
}

uint64_t OrvAudioStream::Position() const {
    return position;
}

bool OrvAudioStream::Ended() const {
    return ended;
}

int OrvAudioStream::SourceRate() const {
    return sourceRate;
}

int OrvAudioStream::SourceChannels() const {
    return sourceChannels;
}

uint64_t OrvAudioStream::SecondsToBytes(double seconds) {
    if (!(seconds > 0.0))
        return 0;
    double frames = std::floor(seconds * OutputRate);
    // Far beyond any track; saturate rather than overflow.
    if (frames >= double(std::numeric_limits<uint64_t>::max() / BytesPerFrame))
        return std::numeric_limits<uint64_t>::max() / BytesPerFrame * BytesPerFrame;
    return uint64_t(frames) * BytesPerFrame;
}
