#include "OrvVideoPipe.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

OrvVideoPipe::OrvVideoPipe() : pid(-1), input(-1), frameBytes(0) {}

OrvVideoPipe::~OrvVideoPipe() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        Stop();
        unlink(PartPath().c_str());
    }
}

std::string OrvVideoPipe::FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::string();
}

void OrvVideoPipe::AddOutputArguments(std::vector<std::string>& words, unsigned mbits,
                                      const std::string& filters, const std::string& part) {
    words.insert(words.end(), {"-map", "0:v:0", "-map", "1:a:0", "-vf", filters, "-c:v", "libx264",
                               "-preset", "medium"});
    if (mbits == 0) {
        words.insert(words.end(), {"-crf", "18"});
    } else {
        // Constant rate: x264 adds filler where the picture needs fewer bits, and a buffer of
        // two seconds' worth lets it give busy frames more than their share.
        std::string bits = std::to_string(mbits) + "M";
        words.insert(words.end(), {"-b:v", bits, "-minrate", bits, "-maxrate", bits, "-bufsize",
                                   std::to_string(2 * mbits) + "M", "-x264-params", "nal-hrd=cbr"});
    }
    words.insert(words.end(), {"-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "192k", "-movflags",
                               "+faststart", "-f", "mp4", part});
}

bool OrvVideoPipe::Start(const std::string& ffmpeg, const std::string& video,
                         const std::string& audioPath, int width, int height, unsigned fpsNumerator,
                         unsigned fpsDenominator, OrvPngEncoder::PixelOrder order, unsigned mbits) {
    videoPath = video;
    frameBytes = static_cast<size_t>(width) * height * 4;
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string rate = std::to_string(fpsNumerator) + "/" + std::to_string(fpsDenominator);
    // Built before forking: the child only execs.
    std::vector<std::string> words = {
        ffmpeg, "-hide_banner", "-loglevel", "error", "-nostats", "-y",
        // the frames, raw through the pipe
        "-f", "rawvideo", "-pix_fmt", order == OrvPngEncoder::Bgra ? "bgra" : "rgba", "-video_size",
        size, "-framerate", rate, "-i", "pipe:0",
        // the sound
        "-i", audioPath};
    // upright, and even sizes for yuv420p
    AddOutputArguments(words, mbits, "vflip,pad=ceil(iw/2)*2:ceil(ih/2)*2", PartPath());
    return Spawn(words, true);
}

bool OrvVideoPipe::StartFiles(const std::string& ffmpeg, const std::string& video,
                              const std::string& audioPath, const std::string& pattern,
                              uint64_t firstNumber, unsigned fpsNumerator, unsigned fpsDenominator,
                              unsigned mbits) {
    videoPath = video;
    std::string rate = std::to_string(fpsNumerator) + "/" + std::to_string(fpsDenominator);
    std::vector<std::string> words = {ffmpeg,   "-hide_banner",  "-loglevel",
                                      "error",  "-nostats",      "-y",
                                      "-f",     "image2",        "-framerate",
                                      rate,     "-start_number", std::to_string(firstNumber),
                                      "-i",     pattern,         "-i",
                                      audioPath};
    AddOutputArguments(words, mbits, "pad=ceil(iw/2)*2:ceil(ih/2)*2", PartPath());
    return Spawn(words, false);
}

bool OrvVideoPipe::Spawn(std::vector<std::string>& words, bool withPipe) {
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);

    int ends[2] = {-1, -1};
    if (withPipe && pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("Could not start ffmpeg: ") + std::strerror(errno);
        return false;
    }
    pid = fork();
    if (pid < 0) {
        error = std::string("Could not start ffmpeg: ") + std::strerror(errno);
        if (withPipe) {
            close(ends[0]);
            close(ends[1]);
        }
        return false;
    }
    if (pid == 0) {
        int in = withPipe ? ends[0] : open("/dev/null", O_RDONLY);
        if (in >= 0)
            dup2(in, 0);
        int nothing = open("/dev/null", O_WRONLY);
        if (nothing >= 0)
            dup2(nothing, 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (withPipe) {
        close(ends[0]);
        input = ends[1];
    }
    return true;
}

bool OrvVideoPipe::WriteFrame(int, uint64_t, const uint8_t* pixels) {
    const uint8_t* bytes = pixels;
    size_t left = frameBytes;
    while (left > 0) {
        ssize_t written = write(input, bytes, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = std::string("ffmpeg stopped taking frames (") +
                    std::strerror(written < 0 ? errno : EPIPE) + "): see its messages above";
            return false;
        }
        bytes += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

void OrvVideoPipe::Stop() {
    if (input >= 0)
        close(input);
    input = -1;
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (pid > 0 && error.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        error = WIFEXITED(status)
                    ? "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status)) +
                          ": see its messages above"
                    : std::string("ffmpeg was stopped by a signal");
    pid = -1;
}

bool OrvVideoPipe::Finish() {
    // End of input: ffmpeg finishes the file and exits.
    Stop();
    if (error.empty() && std::rename(PartPath().c_str(), videoPath.c_str()) != 0)
        error = "Could not write " + videoPath + ": " + std::strerror(errno);
    if (!error.empty()) {
        unlink(PartPath().c_str());
        return false;
    }
    return true;
}
