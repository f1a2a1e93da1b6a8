#include "OrvCaptureJoin.h"

#include "OrvAbsolutePath.h"
#include "OrvCapturePartManifest.h"
#include "OrvCapturePartSet.h"
#include "OrvPngFolderOutput.h"
#include "OrvVideoPipe.h"
#include "OrvWavWriter.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint64_t WavHeaderBytes = 44;
constexpr uint64_t BytesPerSampleFrame = 4; // 16-bit stereo

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

std::string PartName(const OrvCapturePartManifest& m) {
    return "part " + std::to_string(m.part.index) + "/" + std::to_string(m.part.count);
}

// Every frame of the part's range and a sound of exactly its length.
bool CheckFiles(const std::string& folder, const OrvCapturePartManifest& m, std::string& error) {
    struct stat info;
    for (uint64_t n = m.part.firstFrame; n < m.part.endFrame; ++n) {
        std::string name = OrvPngFolderOutput::FrameName(n);
        if (stat((folder + "/" + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            error = "Capture: " + folder + " (" + PartName(m) + ") is not whole: " + name +
                    " is missing";
            return false;
        }
    }
    uint64_t bytes = WavHeaderBytes + (m.part.endSample - m.part.firstSample) * BytesPerSampleFrame;
    if (stat((folder + "/audio.wav").c_str(), &info) != 0 ||
        static_cast<uint64_t>(info.st_size) != bytes) {
        error = "Capture: " + folder + " (" + PartName(m) + ") is not whole: its audio.wav is " +
                "missing or not of " + std::to_string(m.part.endSample - m.part.firstSample) +
                " sample frames";
        return false;
    }
    return true;
}

// All `size` bytes, whatever the file system hands over per read.
bool ReadFully(int descriptor, uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t got = read(descriptor, data, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

// The parts' sample frames end to end, after each one's 44-byte header.
bool JoinSound(const std::vector<std::pair<std::string, OrvCapturePartManifest>>& parts,
               const std::string& path, std::string& error) {
    OrvWavWriter wav;
    if (!wav.Open(path, parts.front().second.part.totalSamples)) {
        error = "Capture: " + wav.Error();
        return false;
    }
    std::vector<uint8_t> bytes(65536);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (const auto& part : parts) {
        std::string name = part.first + "/audio.wav";
        int descriptor = open(name.c_str(), O_RDONLY | O_CLOEXEC);
        uint64_t left =
            (part.second.part.endSample - part.second.part.firstSample) * BytesPerSampleFrame;
        bool good = descriptor >= 0 && lseek(descriptor, WavHeaderBytes, SEEK_SET) ==
                                           static_cast<off_t>(WavHeaderBytes);
        while (good && left > 0) {
            size_t want = left < bytes.size() ? static_cast<size_t>(left) : bytes.size();
            good = ReadFully(descriptor, bytes.data(), want);
            // Little-endian in the file, native for the writer.
            for (size_t i = 0; good && i < want / 2; ++i)
                samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
            if (good && !wav.Write(samples.data(), static_cast<int>(want / BytesPerSampleFrame))) {
                error = "Capture: " + wav.Error();
                close(descriptor);
                return false;
            }
            left -= want;
        }
        if (descriptor >= 0)
            close(descriptor);
        if (!good) {
            error = "Capture: could not read the sound of " + part.first + " (" +
                    PartName(part.second) + ")";
            return false;
        }
    }
    if (!wav.Commit()) {
        error = "Capture: " + wav.Error();
        return false;
    }
    return true;
}

// The frames under one folder, as links to the parts' files.
bool LinkFrames(const std::vector<std::pair<std::string, OrvCapturePartManifest>>& parts,
                const std::string& links, std::string& error) {
    for (const auto& part : parts)
        for (uint64_t n = part.second.part.firstFrame; n < part.second.part.endFrame; ++n) {
            std::string name = OrvPngFolderOutput::FrameName(n);
            if (symlink((part.first + "/" + name).c_str(), (links + "/" + name).c_str()) != 0) {
                error = "Capture: could not link " + name + " into " + links + ": " +
                        std::strerror(errno);
                return false;
            }
        }
    return true;
}

// The links folder and the joined sound, gone whatever happened.
struct Scratch {
    std::string folder;
    std::string sound;
    uint64_t frames = 0;
    ~Scratch() {
        if (!sound.empty())
            unlink(sound.c_str());
        if (folder.empty())
            return;
        for (uint64_t n = 0; n < frames; ++n)
            unlink((folder + "/" + OrvPngFolderOutput::FrameName(n)).c_str());
        rmdir(folder.c_str());
    }
};

} // namespace

int OrvCaptureJoin::Run(const OrvCaptureOptions& options) {
    std::string video = OrvAbsolutePath::Of(options.videoFile);
    std::string ffmpeg = OrvVideoPipe::FindProgram("ffmpeg");
    if (ffmpeg.empty())
        return Fail("Capture: --join needs ffmpeg, which is not on the PATH; install it "
                    "(apt-get install ffmpeg)");

    OrvCapturePartSet set;
    for (const std::string& given : options.joinFolders) {
        std::string folder = OrvAbsolutePath::Of(given);
        std::string text;
        OrvCapturePartManifest manifest;
        OrvCapturePartManifest::Error fault;
        if (!OrvCapturePartManifest::ReadFile(folder, text, fault))
            return Fail("Capture: " + folder + " holds no finished part: " + folder + "/" +
                        OrvCapturePartManifest::FileName + ": " + fault.message +
                        " (a part writes it last; was its task finished?)");
        if (!OrvCapturePartManifest::Parse(text, manifest, fault))
            return Fail("Capture: " + folder + "/" + OrvCapturePartManifest::FileName +
                        (fault.line > 0 ? ", line " + std::to_string(fault.line) : "") + ": " +
                        fault.message);
        set.Add(folder, manifest);
    }
    std::string error;
    if (!set.Check(error))
        return Fail(error);
    auto parts = set.Ordered();
    for (const auto& part : parts)
        if (!CheckFiles(part.first, part.second, error))
            return Fail(error);

    const OrvCapturePartManifest& first = parts.front().second;
    Scratch scratch;
    std::string folder = video + ".join-XXXXXX";
    if (!mkdtemp(&folder[0]))
        return Fail("Capture: cannot write beside the video " + video + ": " +
                    std::strerror(errno));
    scratch.folder = folder;
    scratch.frames = first.part.totalFrames;
    if (!LinkFrames(parts, folder, error))
        return Fail(error);
    scratch.sound = folder + ".wav";
    if (!JoinSound(parts, scratch.sound, error))
        return Fail(error);

    OrvVideoPipe pipe;
    if (!pipe.StartFiles(ffmpeg, video, scratch.sound, folder + "/frame-%06d.png", 0,
                         first.fpsNumerator, first.fpsDenominator, options.videoMbits))
        return Fail("Capture: " + pipe.Error());
    if (!pipe.Finish())
        return Fail("Capture: " + pipe.Error());
    std::printf("Joined %zu part%s, %llu frames, into %s\n", parts.size(),
                parts.size() == 1 ? "" : "s",
                static_cast<unsigned long long>(first.part.totalFrames), video.c_str());
    return 0;
}
