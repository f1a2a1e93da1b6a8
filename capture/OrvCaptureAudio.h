#ifndef ORV_CAPTURE_ORVCAPTUREAUDIO_H
#define ORV_CAPTURE_ORVCAPTUREAUDIO_H

// The sound of a capture: the show's music decoded offline by the engine's own audio stream
// (no sound device), from the position `from` to `to`, into a WAV file of 44.1 kHz 16-bit
// stereo with exactly round((to - from) * 44100) sample frames. Sample frame 0 is the one the
// live engine seeks to for `from` (OrvMusic::BytePosition), so sound and picture line up as
// they do when playing. Where the music ends, or when it cannot be opened (no music, a
// missing file), the file holds silence; `musicFound` tells which.
//
// WriteRange writes only sample frames [first, end) of that sound, for a part of a capture
// (OrvCapturePart): it decodes from `from` in the same chunks as the whole sound and keeps
// the range, so the bytes are the whole sound's whatever the decoder and resampler carry
// from one chunk to the next; a part late in a long show decodes what lies before it (a
// second of a core for minutes of music), which is nothing beside its frames.
//
// Decoding is deterministic: the same file and positions give the same bytes.
// Stateless; the file is whole under its name or not there (OrvWavWriter).

#include <cstdint>
#include <string>

class OrvCaptureAudio {
public:
    // round((toMs - fromMs) * 44.1); 0 when to is not after from.
    static uint64_t FrameCount(unsigned fromMs, unsigned toMs);
    // False with `error` set when the file cannot be written.
    static bool Write(const std::string& musicPath, unsigned fromMs, unsigned toMs,
                      const std::string& wavPath, bool& musicFound, std::string& error);
    static bool WriteRange(const std::string& musicPath, unsigned fromMs, unsigned toMs,
                           uint64_t firstSample, uint64_t endSample, const std::string& wavPath,
                           bool& musicFound, std::string& error);
};

#endif
