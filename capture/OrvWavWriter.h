#ifndef ORV_CAPTURE_ORVWAVWRITER_H
#define ORV_CAPTURE_ORVWAVWRITER_H

// Writes a capture's sound as a WAV file: PCM, 16-bit signed little-endian, stereo, 44100 Hz,
// a 44-byte header whose sizes are known from the start (the capture knows how many sample
// frames it will write). Through OrvOutputFile: the file is whole under its name or absent.
//
// Use: Open(path, frames), Write until `frames` were given, Commit. Commit fails (and leaves
// nothing) when fewer or more frames came than announced, or any write failed.
// Ownership: owns its file and a conversion buffer. Not copyable.

#include "OrvOutputFile.h"

#include <cstdint>
#include <string>
#include <vector>

class OrvWavWriter {
public:
    static constexpr int Rate = 44100;
    static constexpr int Channels = 2;

    OrvWavWriter();

    bool Open(const std::string& path, uint64_t frames);
    // `frames` stereo frames, interleaved left, right, in native byte order.
    bool Write(const int16_t* samples, int frames);
    bool Commit();
    const std::string& Error() const { return error.empty() ? file.Error() : error; }

    // The 44 header bytes of a file of `frames` stereo frames.
    static void Header(uint64_t frames, uint8_t (&header)[44]);

private:
    OrvOutputFile file;
    uint64_t announced;
    uint64_t written;
    std::vector<uint8_t> bytes;
    std::string error;
};

#endif
