#ifndef ORV_CAPTURE_ORVPNGFOLDEROUTPUT_H
#define ORV_CAPTURE_ORVPNGFOLDEROUTPUT_H

// Frames as numbered PNG files in a folder: frame n becomes "frame-" + n in at least six
// digits + ".png" (frame-000000.png, frame-000001.png, ...; a part of a capture adds its first
// frame's number, so its files are named as in the whole capture), each written under a temporary
// name and renamed when whole (OrvOutputFile). The first file that cannot be written stops
// the capture with the file's name and the system's reason.
//
// Several writer threads may encode and write frames at once (PNG files do not depend on
// each other); each has its own encoder and name buffer.
//
// Ownership: owns the encoders and the name buffers, made by the constructor. WriteFrame runs
// on the frame queue's writer threads; the rest on the thread that made the output.

#include "IOrvFrameOutput.h"
#include "OrvPngEncoder.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class OrvPngFolderOutput : public IOrvFrameOutput {
public:
    OrvPngFolderOutput(const std::string& folder, int width, int height,
                       OrvPngEncoder::PixelOrder order, int writers = 1, uint64_t firstIndex = 0);

    int Writers() const override { return static_cast<int>(encoders.size()); }
    bool WriteFrame(int writer, uint64_t index, const uint8_t* pixels) override;
    bool Finish() override;
    const std::string& Error() const override { return error; }

    // The file name of frame `index` without the folder.
    static std::string FrameName(uint64_t index);

private:
    void SetError(const std::string& text);

    std::string folder;
    std::vector<std::unique_ptr<OrvPngEncoder>> encoders;
    std::vector<std::string> paths;
    OrvPngEncoder::PixelOrder order;
    uint64_t firstIndex;
    std::mutex errorMutex;
    std::string error; // the first failure's
    bool failed;
};

#endif
