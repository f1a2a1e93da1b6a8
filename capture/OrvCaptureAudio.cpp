#include "OrvCaptureAudio.h"

#include "OrvWavWriter.h"

#include "audio/OrvAudioStream.h"
#include "audio/OrvMusic.h"

#include <vector>

uint64_t OrvCaptureAudio::FrameCount(unsigned fromMs, unsigned toMs) {
    if (toMs <= fromMs)
        return 0;
    // 44.1 frames a millisecond, rounded half up, in integers.
    return (static_cast<uint64_t>(toMs - fromMs) * 441 + 5) / 10;
}

bool OrvCaptureAudio::Write(const std::string& musicPath, unsigned fromMs, unsigned toMs,
                            const std::string& wavPath, bool& musicFound, std::string& error) {
    uint64_t frames = FrameCount(fromMs, toMs);
    OrvWavWriter wav;
    if (!wav.Open(wavPath, frames)) {
        error = wav.Error();
        return false;
    }
    OrvAudioStream stream;
    musicFound = stream.Open(musicPath);
    if (musicFound)
        stream.Seek(OrvMusic::BytePosition(fromMs));
    // Without a file the stream fills silence.
    const int chunk = 4096;
    std::vector<int16_t> samples(static_cast<size_t>(chunk) * OrvAudioStream::OutputChannels);
    for (uint64_t done = 0; done < frames;) {
        int count = static_cast<int>(frames - done < chunk ? frames - done : chunk);
        stream.Fill(samples.data(), count);
        if (!wav.Write(samples.data(), count))
            break;
        done += static_cast<uint64_t>(count);
    }
    if (!wav.Commit()) {
        error = wav.Error();
        return false;
    }
    return true;
}
