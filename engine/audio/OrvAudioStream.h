#ifndef ORV_AUDIO_ORVAUDIOSTREAM_H
#define ORV_AUDIO_ORVAUDIOSTREAM_H

// One music file decoded piece by piece into the engine's output format: 16-bit signed
// stereo at 44100 Hz, native byte order, 4 bytes per frame. Files are never decoded whole;
// Fill() decodes just enough of the file for the frames asked for, so a long track costs a
// few kilobytes of buffers, all allocated by Open().
//
// What it reads: everything the system's libsndfile opens (on Debian 12: WAV, FLAC, Ogg
// Vorbis, Ogg Opus, MP3, AIFF and more). Other rates are resampled with libsamplerate;
// mono plays on both sides; files with more than two channels play their first two (front
// left and right in the usual channel order).
//
// Positions are byte offsets into that 44100 Hz stereo output, whatever the file's own rate.
// After the end of the file, and while nothing is open, Fill() gives silence.
//
// Threads: Fill() runs on the audio device's thread. While the stream is attached to an
// open OrvAudioDevice every other call must be made with the device locked (OrvAudioDevice::
// Lock), because they move the same decoder. Nothing here locks by itself.
//
// Ownership: the stream owns its libsndfile handle, its resampler and its buffers; Close()
// and the destructor release them. Not copyable.

#include <cstdint>
#include <string>
#include <vector>

struct sf_private_tag;
struct SRC_STATE_tag;

class OrvAudioStream {
public:
    static constexpr int OutputRate = 44100;
    static constexpr int OutputChannels = 2;
    static constexpr int BytesPerFrame = 4;

    OrvAudioStream();
    ~OrvAudioStream();
    OrvAudioStream(const OrvAudioStream&) = delete;
    OrvAudioStream& operator=(const OrvAudioStream&) = delete;

    // Opens a file for streaming from its start, closing any file open before. False, with
    // nothing open, when the file is missing, unreadable or not audio that libsndfile knows.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const;

    // Writes exactly `frames` output frames (2 samples each) to `out`: the next part of the
    // file, then silence once the file has ended or when nothing is open. Allocates nothing.
    void Fill(int16_t* out, int frames);

    // Moves to a byte position of the output, rounded down to a whole frame. A position at
    // or past the end leaves the stream ended (silence until the next seek). Does nothing
    // when nothing is open or the file cannot seek.
    void Seek(uint64_t bytePosition);

    // The byte position of the next frame Fill() will produce: where the last Seek() put
    // it plus everything produced since, silence after the end included.
    uint64_t Position() const;
    // True once the whole file has been played out.
    bool Ended() const;

    // The file's own rate and channel count; 0 while nothing is open.
    int SourceRate() const;
    int SourceChannels() const;

    // Byte position of a time in the output: whole frames at 44100 Hz, 4 bytes each,
    // rounded down; 1.0 s is 176400. Negative or not-a-number times give 0.
    static uint64_t SecondsToBytes(double seconds);

private:
    void ReadChunk();
    void Emit(int16_t* out, const float* frames, int count) const;

    sf_private_tag* file;
    SRC_STATE_tag* resampler;
    int sourceRate;
    int sourceChannels;
    // Channels after dropping all but the first two: 1 or 2.
    int channels;
    int64_t sourceFrames;
    bool inputEnded;
    bool ended;
    uint64_t position;

    // Decoded file frames waiting to be used, `channels` floats per frame.
    std::vector<float> readBuffer;
    std::vector<float> input;
    int inputOffset;
    int inputAvailable;
    // Resampled frames, `channels` floats per frame.
    std::vector<float> resampled;
};

#endif
