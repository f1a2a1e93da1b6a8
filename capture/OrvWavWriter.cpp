#include "OrvWavWriter.h"

#include <cstring>

namespace {

void PutLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

OrvWavWriter::OrvWavWriter() : announced(0), written(0) {}

void OrvWavWriter::Header(uint64_t frames, uint8_t (&header)[44]) {
    uint32_t dataBytes = static_cast<uint32_t>(frames * Channels * 2);
    std::memcpy(header, "RIFF", 4);
    PutLittleEndian(header + 4, 36 + dataBytes, 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLittleEndian(header + 16, 16, 4);                  // fmt chunk size
    PutLittleEndian(header + 20, 1, 2);                   // PCM
    PutLittleEndian(header + 22, Channels, 2);            //
    PutLittleEndian(header + 24, Rate, 4);                //
    PutLittleEndian(header + 28, Rate * Channels * 2, 4); // bytes per second
    PutLittleEndian(header + 32, Channels * 2, 2);        // bytes per frame
    PutLittleEndian(header + 34, 16, 2);                  // bits per sample
    std::memcpy(header + 36, "data", 4);
    PutLittleEndian(header + 40, dataBytes, 4);
}

bool OrvWavWriter::Open(const std::string& path, uint64_t frames) {
    announced = frames;
    written = 0;
    error.clear();
    // A RIFF file counts its bytes in 32 bits: about 6.7 hours of stereo at 44.1 kHz.
    if (frames * Channels * 2 > 0xFFFFFFFFu - 36) {
        error = "The sound of " + path +
                " would be too long for a WAV file: capture parts of under 6 hours";
        return false;
    }
    if (!file.Open(path))
        return false;
    uint8_t header[44];
    Header(frames, header);
    return file.Write(header, sizeof header);
}

bool OrvWavWriter::Write(const int16_t* samples, int frames) {
    size_t count = static_cast<size_t>(frames) * Channels;
    bytes.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
        uint16_t value = static_cast<uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<uint8_t>(value);
        bytes[2 * i + 1] = static_cast<uint8_t>(value >> 8);
    }
    written += static_cast<uint64_t>(frames);
    return file.Write(bytes.data(), bytes.size());
}

bool OrvWavWriter::Commit() {
    // A failed write explains itself; a wrong length is the caller's fault.
    if (!file.Error().empty())
        return file.Commit();
    if (written != announced) {
        error = "The sound of " + file.PartPath() + " did not get the length it announced";
        file.Abandon();
        return false;
    }
    return file.Commit();
}
