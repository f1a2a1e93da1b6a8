#include "OrvPngFolderOutput.h"

#include "OrvOutputFile.h"

#include <cstdio>

OrvPngFolderOutput::OrvPngFolderOutput(const std::string& folder, int width, int height,
                                       OrvPngEncoder::PixelOrder order, int writers,
                                       uint64_t firstIndex)
    : folder(folder), order(order), firstIndex(firstIndex), failed(false) {
    for (int i = 0; i < (writers > 0 ? writers : 1); ++i) {
        encoders.emplace_back(new OrvPngEncoder(width, height));
        paths.emplace_back();
        paths.back().reserve(folder.size() + 32);
    }
}

void OrvPngFolderOutput::SetError(const std::string& text) {
    std::lock_guard<std::mutex> lock(errorMutex);
    if (!failed)
        error = text;
    failed = true;
}

bool OrvPngFolderOutput::Finish() {
    std::lock_guard<std::mutex> lock(errorMutex);
    return !failed;
}

std::string OrvPngFolderOutput::FrameName(uint64_t index) {
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(index));
    return name;
}

bool OrvPngFolderOutput::WriteFrame(int writer, uint64_t index, const uint8_t* pixels) {
    OrvPngEncoder& encoder = *encoders[static_cast<size_t>(writer)];
    std::string& path = paths[static_cast<size_t>(writer)];
    path.assign(folder);
    path.append("/");
    path.append(FrameName(firstIndex + index));
    if (!encoder.Encode(pixels, order)) {
        SetError("Could not encode " + path);
        return false;
    }
    OrvOutputFile file;
    if (!file.Open(path) || !file.Write(encoder.Data(), encoder.Size()) || !file.Commit()) {
        SetError(file.Error());
        return false;
    }
    return true;
}
