#ifndef ORV_TESTS_SUPPORT_ORVMUSICTESTAUDIO_H
#define ORV_TESTS_SUPPORT_ORVMUSICTESTAUDIO_H

// Sound files and captured output for the music tests. Files are written with libsndfile;
// playback is captured through SDL's disk audio driver, which writes everything the device
// plays (silence while paused included) as raw 16-bit stereo to a file.

#include <cstdint>
#include <string>
#include <vector>

// A stereo 44100 Hz signal in which every frame is different and never silent, so a
// captured frame tells which file frame it was: left = 1 + i mod 32749, right =
// -(1 + i / 32749). Interleaved, `frames` frames.
std::vector<int16_t> OrvMusicRamp(int frames);
// The ramp frame index a captured frame is, or -1 when it is no ramp frame.
int OrvMusicRampIndex(int16_t left, int16_t right);

// A sine of the given frequency and amplitude (full scale 1.0) starting at `phase` radians;
// every channel carries it, channel c shifted by c radians more. Interleaved.
std::vector<int16_t> OrvMusicSine(int frames, int rate, int channels, double frequency,
                                  double phase, double amplitude);

// Writes an interleaved signal; `format` is a libsndfile major|subtype format. False when
// libsndfile refuses.
bool OrvMusicWriteAudio(const std::string& path, int format, int rate, int channels,
                        const std::vector<int16_t>& samples);
// The whole file decoded by libsndfile as floats and rounded to 16 bits the way playback
// does, in the file's own channels and rate.
std::vector<int16_t> OrvMusicDecode(const std::string& path);

// Points SDL's disk audio driver at a capture file in `folder` (environment variables read
// when the device opens, so create this before OrvMusic::Load).
class OrvMusicCapture {
public:
    explicit OrvMusicCapture(const std::string& folder, const std::string& name = "capture.raw");

    const std::string& Path() const { return path; }
    // Everything captured so far, interleaved stereo frames.
    std::vector<int16_t> Samples() const;
    // Waits until at least `frames` non-silent frames were captured; false on timeout.
    bool WaitForSound(size_t frames, int timeoutMs = 10000) const;
    // Waits until the capture ends with at least `frames` silent frames; false on timeout.
    bool WaitForSilence(size_t frames, int timeoutMs = 10000) const;

private:
    std::string path;
};

// A run of consecutive ramp frames in a capture.
struct OrvMusicSegment {
    int first;
    int count;
};
// Splits a capture into runs of consecutive ramp frames; silence separates runs, so does a
// jump in the frame index. `strayFrames` counts frames that are neither silence nor ramp.
std::vector<OrvMusicSegment> OrvMusicRampSegments(const std::vector<int16_t>& capture,
                                                  int& strayFrames);

// Number of frames in a stereo capture that are not silent.
size_t OrvMusicSoundFrames(const std::vector<int16_t>& capture);
// Index of the first frame in a stereo capture that is not silent; -1 when all are.
long OrvMusicFirstSound(const std::vector<int16_t>& capture, long fromFrame = 0);
// Index of the first silent frame at or after `fromFrame`; the frame count when none is.
long OrvMusicFirstSilence(const std::vector<int16_t>& capture, long fromFrame);

#endif
