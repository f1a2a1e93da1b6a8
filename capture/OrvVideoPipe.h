#ifndef ORV_CAPTURE_ORVVIDEOPIPE_H
#define ORV_CAPTURE_ORVVIDEOPIPE_H

// Frames into an MP4 video through the ffmpeg program: Start runs ffmpeg with the frames
// coming raw through a pipe (4 bytes a pixel, bottom-up; ffmpeg turns them upright) at the
// capture's exact rate, and the capture's WAV file as the sound. The video is H.264
// (yuv420p, so odd sizes get one black row or column added) and the sound AAC at 192 kbit/s.
// The video is at constant quality, or at a constant bit rate when one is given: then x264
// pads the stream where the picture needs fewer bits (a black or still part), so the rate
// holds over the whole video, as a party's rules for an entry's video ask. ffmpeg writes
// to the video's name plus ".part"; Finish renames that once ffmpeg has ended well, so a
// failed or stopped capture leaves no half video under the name asked for.
//
// StartFiles makes the same video from numbered PNG files instead (a join of a capture's
// parts): ffmpeg reads them itself, upright, and nothing goes through the pipe; Finish then
// only waits for it.
//
// ffmpeg's own messages (errors only) go to standard error. When ffmpeg stops early, the
// next WriteFrame fails ("ffmpeg stopped ...") instead of the process dying of SIGPIPE: the
// program ignores SIGPIPE.
//
// Ownership: owns the ffmpeg process and the pipe; the destructor of a pipe not finished
// kills ffmpeg and removes the ".part" file. WriteFrame runs on the frame queue's writer
// thread; the rest on the thread that made it.

#include "IOrvFrameOutput.h"
#include "OrvPngEncoder.h"

#include <string>
#include <sys/types.h>
#include <vector>

class OrvVideoPipe : public IOrvFrameOutput {
public:
    OrvVideoPipe();
    ~OrvVideoPipe() override;
    OrvVideoPipe(const OrvVideoPipe&) = delete;
    OrvVideoPipe& operator=(const OrvVideoPipe&) = delete;

    // The full path of an executable `name` in a folder of the PATH; empty when none is.
    static std::string FindProgram(const std::string& name);

    // Starts `ffmpeg`; false with Error() set when it cannot be started. `mbits` 0 asks for
    // constant quality, any other value for that many megabits a second.
    bool Start(const std::string& ffmpeg, const std::string& videoPath,
               const std::string& audioPath, int width, int height, unsigned fpsNumerator,
               unsigned fpsDenominator, OrvPngEncoder::PixelOrder order, unsigned mbits);

    // `pattern` as ffmpeg's image2 reads it (a folder and frame-%06d.png), from file number
    // `firstNumber` on.
    bool StartFiles(const std::string& ffmpeg, const std::string& videoPath,
                    const std::string& audioPath, const std::string& pattern, uint64_t firstNumber,
                    unsigned fpsNumerator, unsigned fpsDenominator, unsigned mbits);

    // Frames must reach ffmpeg in order: one writer.
    int Writers() const override { return 1; }
    bool WriteFrame(int writer, uint64_t index, const uint8_t* pixels) override;
    bool Finish() override;
    const std::string& Error() const override { return error; }

private:
    void Stop();
    // The encoder's arguments after the inputs, the same for both ways in.
    static void AddOutputArguments(std::vector<std::string>& words, unsigned mbits,
                                   const std::string& filters, const std::string& part);
    bool Spawn(std::vector<std::string>& words, bool withPipe);
    std::string PartPath() const { return videoPath + ".part"; }

    pid_t pid;
    int input; // ffmpeg's standard input
    size_t frameBytes;
    std::string videoPath;
    std::string error;
};

#endif
