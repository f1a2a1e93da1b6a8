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
    return WriteRange(musicPath, fromMs, toMs, 0, FrameCount(fromMs, toMs), wavPath, musicFound,
                      error);
}

bool OrvCaptureAudio::WriteRange(const std::string& musicPath, unsigned fromMs, unsigned toMs,
                                 uint64_t firstSample, uint64_t endSample,
                                 const std::string& wavPath, bool& musicFound, std::string& error) {
    uint64_t total = FrameCount(fromMs, toMs);
    endSample = endSample < total ? endSample : total;
    uint64_t frames = endSample > firstSample ? endSample - firstSample : 0;
    OrvWavWriter wav;
    if (!wav.Open(wavPath, frames)) {
        error = wav.Error();
        return false;
    }
    OrvAudioStream stream;
    musicFound = stream.Open(musicPath);
    if (musicFound)
        stream.Seek(OrvMusic::BytePosition(fromMs));
    // Without a file the stream fills silence. Chunks start at multiples of `chunk` from the
    // whole sound's first sample frame, whatever range is kept.
    const int chunk = 4096;
    std::vector<int16_t> samples(static_cast<size_t>(chunk) * OrvAudioStream::OutputChannels);
    for (uint64_t done = 0; done < endSample;) {
        // Whole chunks as the whole sound has them, the last one cut only by its end.
        int count = static_cast<int>(total - done < chunk ? total - done : chunk);
        stream.Fill(samples.data(), count);
        uint64_t chunkEnd = done + static_cast<uint64_t>(count);
        uint64_t keepFrom = done < firstSample ? firstSample : done;
        uint64_t keepTo = chunkEnd < endSample ? chunkEnd : endSample;
        if (keepTo > keepFrom &&
            !wav.Write(samples.data() + (keepFrom - done) * OrvAudioStream::OutputChannels,
                       static_cast<int>(keepTo - keepFrom)))
            break;
        done = chunkEnd;
    }
    if (!wav.Commit()) {
        error = wav.Error();
        return false;
    }
    return true;
}
