// The real Capture, run as a child process in a show folder of its own (Capture, bin/ with
// the built engine, data/ with a generated show); it needs no display, and one test compares
// it with a capture on the test's X display. The show: an
// 80 x 60 surface whose clear colour is red until 1 s, green until 2 s and blue until the end
// at 3 s, a 10 x 10 white square 15 pixels below the middle (rows 40 to 49) moving from
// x = 5..15 to x = 65..75 over 3 s, and a 441 Hz
// tone of 2 s (100 sample frames a period) as its music. A render line into a buffer comes
// first, so the screen line must find its way back to the capture's picture afterwards.

#include "support/OrvChildProcess.h"
#include "support/OrvPngReader.h"
#include "support/OrvTestFolder.h"
#include "support/OrvTestImages.h"
#include "support/OrvTestSlurm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const std::string showDir = ORV_TEST_SHOW_DIR;

// The tone's sample frame i: left = round(12000 sin(2 pi i / 100)), right = -left.
int16_t Tone(long i) {
    return static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * (i % 100) / 100.0)));
}

const char* const ShowScript = "header {\n"
                               "  title: \"Capture test\"\n"
                               "  music: tone.flac\n"
                               "  width: 80\n"
                               "  height: 60\n"
                               "}\n"
                               "objects {\n"
                               "  box: image box.png {\n"
                               "    pos.y: 15\n"
                               "  }\n"
                               "}\n"
                               "renderLines {\n"
                               "  offscreen {\n"
                               "    output: *spare 16 16\n"
                               "    objects: box\n"
                               "  }\n"
                               "  screen {\n"
                               "  }\n"
                               "}\n"
                               "script {\n"
                               "  0 screen.clear.r = 1\n"
                               "  0 screen.clear.a = 1\n"
                               "  1 screen.clear.r = 0\n"
                               "  1 screen.clear.g = 1\n"
                               "  2 screen.clear.g = 0\n"
                               "  2 screen.clear.b = 1\n"
                               "  0 enable box\n"
                               "  0 box.pos.x = -30 to 30 in 3\n"
                               "  3 end\n"
                               "}\n";

// A show folder with the built Capture and engine.
struct Show {
    OrvTestFolder folder;
    Show(const std::string& script = ShowScript) {
        OrvCopyPath(showDir + "/Capture", folder.Root() + "/Capture");
        OrvCopyPath(showDir + "/bin/libOrvEngine.so", folder.BinPath("libOrvEngine.so"));
        folder.WriteData("script.txt", script);
        folder.WriteData("box.png", OrvMakePng(10, 10, 3, OrvRepeatPixel({255, 255, 255}, 100)));
        std::vector<short> tone;
        for (long i = 0; i < 2 * 44100; ++i) {
            tone.push_back(Tone(i));
            tone.push_back(static_cast<short>(-Tone(i)));
        }
        SF_INFO info = {};
        info.samplerate = 44100;
        info.channels = 2;
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(folder.DataPath("tone.flac").c_str(), SFM_WRITE, &info);
        EXPECT_NE(nullptr, file);
        if (file) {
            sf_writef_short(file, tone.data(), 2 * 44100);
            sf_close(file);
        }
    }
    std::string Path(const std::string& name) const { return folder.Root() + "/" + name; }
};

// Capture with these arguments, started from the show's bin/ (not its own folder); or another
// `program` (a shell) with these arguments, which starts Capture itself.
struct Result {
    int code = -1;
    std::string output;
    std::string errors;
};

Result Capture(const Show& show, const std::vector<std::string>& arguments,
               const std::vector<std::pair<std::string, std::string>>& environment = {},
               const std::string& program = "", const std::vector<std::string>& unset = {}) {
    std::string path = program.empty() ? show.Path("Capture") : program;
    OrvChildProcess child(path, show.folder.BinPath(""), environment, unset, arguments);
    Result run;
    if (!child.Wait(60000)) {
        run.errors = "Capture did not end";
        return run;
    }
    run.code = child.Exited() ? child.ExitCode() : -1;
    run.output = child.Output();
    run.errors = child.Errors();
    return run;
}

std::vector<std::string> Files(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    // "r,g,b" of a pixel, top-left origin.
    std::string At(int x, int y) const {
        size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return std::to_string(rgb[i]) + "," + std::to_string(rgb[i + 1]) + "," +
               std::to_string(rgb[i + 2]);
    }
};

// Decoded by SDL_image (libpng), which rejects files with bad checksums.
Picture ReadPng(const std::string& path) {
    OrvXDriver::Picture read;
    Picture picture;
    if (OrvReadPng(path, read)) {
        picture.width = read.width;
        picture.height = read.height;
        picture.rgb = std::move(read.rgb);
    }
    return picture;
}

struct Sound {
    SF_INFO info = {};
    std::vector<short> samples;
};

Sound ReadWav(const std::string& path) {
    Sound sound;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &sound.info);
    if (!file)
        return sound;
    sound.samples.resize(static_cast<size_t>(sound.info.frames) * sound.info.channels);
    sf_readf_short(file, sound.samples.data(), sound.info.frames);
    sf_close(file);
    return sound;
}

const std::string Red = "255,0,0", Green = "0,255,0", Blue = "0,0,255", White = "255,255,255",
                  Black = "0,0,0";

} // namespace

TEST(OrvCapture, WritesEveryFrameAtItsPositionAndTheMusicCutToMatch) {
    Show show;
    Result run = Capture(show, {"--fps", "10", "--out", show.Path("frames")});
    ASSERT_EQ(0, run.code) << run.errors;
    EXPECT_NE(std::string::npos, run.output.find("Captured 30 frames")) << run.output;

    // 3 s at 10 frames a second: frame-000000.png to frame-000029.png and the sound.
    std::vector<std::string> names = Files(show.Path("frames"));
    ASSERT_EQ(31u, names.size());
    EXPECT_EQ("audio.wav", names[0]);
    EXPECT_EQ("frame-000000.png", names[1]);
    EXPECT_EQ("frame-000029.png", names[30]);

    // Frame n lies at n * 100 ms: the colour changes between frames 9 and 10, 19 and 20; the
    // square's left edge is at 5 + 20 * t pixels.
    struct Expected {
        int frame;
        std::string background;
        int squareX; // a column inside the square
    };
    for (const Expected& e : std::vector<Expected>{{0, Red, 10},
                                                   {9, Red, 28},
                                                   {10, Green, 30},
                                                   {15, Green, 40},
                                                   {19, Green, 48},
                                                   {20, Blue, 50},
                                                   {29, Blue, 68}}) {
        Picture frame = ReadPng(show.Path("frames/" + names[static_cast<size_t>(e.frame) + 1]));
        ASSERT_EQ(80, frame.width) << e.frame;
        ASSERT_EQ(60, frame.height) << e.frame;
        EXPECT_EQ(e.background, frame.At(e.squareX > 40 ? 2 : 77, 45)) << "frame " << e.frame;
        EXPECT_EQ(White, frame.At(e.squareX, 45)) << "frame " << e.frame;
        // Upright: the square lies below the middle, not above.
        EXPECT_EQ(e.background, frame.At(e.squareX, 15)) << "frame " << e.frame;
    }

    // Exactly 3 s of 44.1 kHz 16-bit stereo: the tone for 2 s, then silence.
    Sound sound = ReadWav(show.Path("frames/audio.wav"));
    EXPECT_EQ(44100, sound.info.samplerate);
    EXPECT_EQ(2, sound.info.channels);
    EXPECT_EQ(SF_FORMAT_WAV | SF_FORMAT_PCM_16, sound.info.format);
    ASSERT_EQ(3 * 44100, sound.info.frames);
    for (long i : {0L, 1L, 25L, 50L, 12345L, 88199L}) {
        EXPECT_EQ(Tone(i), sound.samples[2 * i]) << i;
        EXPECT_EQ(-Tone(i), sound.samples[2 * i + 1]) << i;
    }
    for (long i : {88200L, 100000L, 132299L})
        EXPECT_EQ(0, sound.samples[2 * i] | sound.samples[2 * i + 1]) << i;
}

TEST(OrvCapture, StartsInTheMiddleAtTheSizeAndRateAskedFor) {
    Show show;
    // 1.5 s to 2.75 s at 29.97 frames a second, twice as wide as the show: the 4:3 picture
    // sits in the middle with black bars left and right.
    Result run = Capture(show, {"--from", "1.5", "--to=2.75", "--fps", "30000/1001", "--size",
                                "160x60", "--out", "middle"});
    ASSERT_EQ(0, run.code) << run.errors;
    std::vector<std::string> names = Files(show.folder.BinPath("middle"));
    // ceil(1.25 s * 29.97) = 38 frames (the output folder is relative to where Capture was
    // started, here bin/).
    ASSERT_EQ(39u, names.size());
    EXPECT_EQ("frame-000037.png", names[38]);

    // Frame 0 lies at 1.5 s: green, the square in the middle of the picture.
    Picture first = ReadPng(show.folder.BinPath("middle/frame-000000.png"));
    ASSERT_EQ(160, first.width);
    ASSERT_EQ(60, first.height);
    EXPECT_EQ(Black, first.At(20, 45));
    EXPECT_EQ(Black, first.At(140, 45));
    EXPECT_EQ(Green, first.At(50, 45));
    EXPECT_EQ(White, first.At(80, 45));
    EXPECT_EQ(Green, first.At(80, 15));
    // Frame 16 at floor(16 * 1001 / 30) = 533 ms later, 2.033 s: blue.
    Picture later = ReadPng(show.folder.BinPath("middle/frame-000016.png"));
    EXPECT_EQ(Blue, later.At(50, 30));
    // Frame 15 at 2.0005 s, exactly 2.0 s in milliseconds: blue already.
    EXPECT_EQ(Blue, ReadPng(show.folder.BinPath("middle/frame-000015.png")).At(50, 30));
    EXPECT_EQ(Green, ReadPng(show.folder.BinPath("middle/frame-000014.png")).At(50, 30));

    // Sample frame 0 is the tone's frame at 1.5 s, 66150; the length round(1.25 * 44100).
    Sound sound = ReadWav(show.folder.BinPath("middle/audio.wav"));
    ASSERT_EQ(55125, sound.info.frames);
    for (long i : {0L, 1L, 37L, 22049L}) {
        EXPECT_EQ(Tone(66150 + i), sound.samples[2 * i]) << i;
        EXPECT_EQ(-Tone(66150 + i), sound.samples[2 * i + 1]) << i;
    }
    EXPECT_EQ(0, sound.samples[2 * 22050]); // the tone ended at 2 s
}

// Particles drawn at random (the run's random source) and moved by each frame's time.
const char* const ParticleScript = "header {\n"
                                   "  music: tone.flac\n"
                                   "  width: 80\n"
                                   "  height: 60\n"
                                   "}\n"
                                   "objects {\n"
                                   "  cam: camera {\n"
                                   "    pos.z: 20\n"
                                   "  }\n"
                                   "  sparks: particles {\n"
                                   "    maxParticles: 300\n"
                                   "    gravity.y: -9.8\n"
                                   "    emitter {\n"
                                   "      lifeTime: 0.5 1.5\n"
                                   "      dir.x: -4 4\n"
                                   "      dir.y: 4 10\n"
                                   "      dir.z: -4 4\n"
                                   "      size: 0.3 0.6\n"
                                   "      airResistance: 0.01\n"
                                   "    }\n"
                                   "    emitter[0].emittingSpeed: 200\n"
                                   "  }\n"
                                   "}\n"
                                   "renderLines {\n"
                                   "  screen {\n"
                                   "  }\n"
                                   "}\n"
                                   "script {\n"
                                   "  0 screen.clear.b = 0.5\n"
                                   "  0 screen.clear.a = 1\n"
                                   "  0 enable cam sparks\n"
                                   "  0 sparks.gravity.x = rand -5 - 5 for 2\n"
                                   "  2 end\n"
                                   "}\n";

// One capture with no display server at all (offscreen, through EGL), the other in a hidden
// window on the test's X display (GLX) when there is one: the same bytes.
TEST(OrvCapture, TwoCapturesAreByteForByteTheSameWithOrWithoutADisplay) {
    const char* display = std::getenv("DISPLAY");
    const bool onX = display && *display;
    for (const char* script : {ShowScript, ParticleScript}) {
        Show show(script);
        Result offscreen = Capture(show, {"--fps", "20", "--out", show.Path("one")}, {}, "",
                                   {"DISPLAY", "WAYLAND_DISPLAY"});
        ASSERT_EQ(0, offscreen.code) << offscreen.errors;
        Result x = Capture(
            show, {"--fps", "20", "--out", show.Path("two")},
            onX ? std::vector<std::pair<std::string, std::string>>{{"SDL_VIDEODRIVER", "x11"}}
                : std::vector<std::pair<std::string, std::string>>{});
        ASSERT_EQ(0, x.code) << x.errors;
        std::vector<std::string> one = Files(show.Path("one"));
        ASSERT_GT(one.size(), 40u);
        EXPECT_EQ(one, Files(show.Path("two")));
        for (const std::string& name : one) {
            std::string a = OrvReadFile(show.Path("one/" + name));
            EXPECT_FALSE(a.empty()) << name;
            EXPECT_TRUE(a == OrvReadFile(show.Path("two/" + name))) << name << " differs";
        }
    }

    // The sparks are really there: a second in, pixels other than the background, and the
    // next frame is another picture.
    Show show(ParticleScript);
    ASSERT_EQ(0, Capture(show, {"--fps", "20", "--to", "1.1"}).code);
    Picture a = ReadPng(show.folder.BinPath("capture/frame-000020.png"));
    Picture b = ReadPng(show.folder.BinPath("capture/frame-000021.png"));
    ASSERT_EQ(80, a.width);
    int sparks = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            sparks += a.At(x, y) != "0,0,127" && a.At(x, y) != "0,0,128";
    EXPECT_GT(sparks, 10);
    EXPECT_NE(a.rgb, b.rgb);
}

TEST(OrvCapture, RefusesWhatItCannotDoWithAClearMessage) {
    Show show;
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    show.folder.WriteData("plain-file", "x");
    // No OpenGL at all: neither offscreen nor in a hidden window.
    Result noGl = Capture(show, {}, {{"SDL_VIDEODRIVER", "none-such"}});
    EXPECT_EQ(1, noGl.code);
    EXPECT_EQ(0u, noGl.errors.find("Error: No OpenGL context could be made without a display: "))
        << noGl.errors;
    for (const Case& c : std::vector<Case>{
             {{"--fps", "fast"},
              "Capture: bad value \"fast\" for --fps: expected frames per second above 0 and "
              "up to 1000, such as 60, 30000/1001 or 29.97\n"},
             {{"--size", "80x0"},
              "Capture: bad value \"80x0\" for --size: expected width x height in pixels, such "
              "as 1280x720, each 1 to 16384\n"},
             {{"--to", "-1"},
              "Capture: bad value \"-1\" for --to: expected seconds, 0 or more, such as 12 or "
              "12.5\n"},
             {{"--frames", "10"},
              "Capture: unknown option --frames (Capture --help lists the options)\n"},
             {{"--out"}, "Capture: --out needs a value (Capture --help lists the options)\n"},
             {{"--from", "3"},
              "Capture: nothing to capture: the start (3.000 s) is not before the end "
              "(3.000 s)\n"},
             {{"--out", show.folder.DataPath("plain-file") + "/frames"},
              "Capture: cannot write to the output folder " + show.folder.DataPath("plain-file") +
                  "/frames: Not a directory\n"}}) {
        Result run = Capture(show, c.arguments);
        EXPECT_EQ(1, run.code) << c.arguments[0];
        EXPECT_EQ(c.message, run.errors);
    }
    // Nothing was written where the default folder would be.
    EXPECT_TRUE(Files(show.folder.BinPath("capture")).empty());

    Show endless(std::string(ShowScript).replace(std::string(ShowScript).find("  3 end\n"), 8, ""));
    Result run = Capture(endless, {});
    EXPECT_EQ(1, run.code);
    EXPECT_EQ("Capture: the show has no end command: say where the capture ends with --to S\n",
              run.errors);
    EXPECT_EQ(0, Capture(endless, {"--to", "0.5", "--fps", "4"}).code);

    Result help = Capture(show, {"--help"});
    EXPECT_EQ(0, help.code);
    for (const char* option :
         {"--fps", "--size", "--from", "--to", "--out", "--video", "--bitrate"})
        EXPECT_NE(std::string::npos, help.output.find(option)) << option;
}

TEST(OrvCapture, LoadingFailuresGiveTheEngineLogLikeRun) {
    Show show(
        std::string(ShowScript).replace(std::string(ShowScript).find("box.png"), 7, "missing.png"));
    Result run = Capture(show, {});
    EXPECT_EQ(1, run.code);
    EXPECT_EQ(
        "Error: script.txt:8: Could not load image file: missing.png\nErrors in script file\n",
        run.errors);

    std::remove(show.folder.DataPath("script.txt").c_str());
    run = Capture(show, {});
    EXPECT_EQ(1, run.code);
    EXPECT_EQ("Error: Could not open ../data/script.txt\nCould not load a script file\n",
              run.errors);
}

// Started from another working directory (here /, which holds no show), Capture captures the
// show it lies beside, and a relative output folder is relative to where it was started.
TEST(OrvCapture, CapturesTheShowBesideItFromAnyWorkingDirectory) {
    Show show;
    OrvChildProcess child(show.Path("Capture"), "/", {}, {},
                          {"--fps", "10", "--to", "1.5", "--out", show.Path("frames")});
    ASSERT_TRUE(child.Wait(60000)) << "Capture did not end";
    ASSERT_TRUE(child.Exited());
    ASSERT_EQ(0, child.ExitCode()) << child.Errors();
    EXPECT_EQ("", child.Errors());
    EXPECT_NE(std::string::npos, child.Output().find("Captured 15 frames")) << child.Output();
    std::vector<std::string> names = Files(show.Path("frames"));
    ASSERT_EQ(16u, names.size());
    EXPECT_EQ("audio.wav", names[0]);
    // The show's own picture: red until 1 s, then green, the white square in its place.
    Picture first = ReadPng(show.Path("frames/frame-000000.png"));
    ASSERT_EQ(80, first.width);
    EXPECT_EQ(Red, first.At(77, 45));
    EXPECT_EQ(White, first.At(10, 45));
    EXPECT_EQ(Green, ReadPng(show.Path("frames/frame-000010.png")).At(77, 45));

    // A relative output folder from a working directory of the test's own choosing.
    OrvChildProcess relative(show.Path("Capture"), show.folder.DataPath(""), {}, {},
                             {"--fps", "10", "--to", "0.5", "--out", "here"});
    ASSERT_TRUE(relative.Wait(60000)) << "Capture did not end";
    ASSERT_EQ(0, relative.ExitCode()) << relative.Errors();
    EXPECT_EQ(6u, Files(show.folder.DataPath("here")).size());
}

TEST(OrvCapture, AFullDiskStopsTheCaptureWithoutHalfWrittenFiles) {
    Show show;
    // A file size limit of 64 KiB makes the sound (529,244 bytes) fail the way a full disk
    // does.
    Result run = Capture(
        show, {"-c", "ulimit -f 128 && exec \"$0\" --fps 10 --out full", show.Path("Capture")}, {},
        "/bin/sh");
    EXPECT_EQ(1, run.code);
    EXPECT_EQ("Capture: Could not write " + show.folder.BinPath("full/audio.wav") +
                  ": File too large\n",
              run.errors);
    EXPECT_TRUE(Files(show.folder.BinPath("full")).empty());

    // A short sound fits; a frame of stretched noise does not: the writer thread's failure
    // stops the rendering, the finished sound stays.
    std::string noise;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        noise.push_back(static_cast<char>((i * 7919u + (i >> 3) * 104729u) % 251u));
    Show noisy("header {\n  width: 400\n  height: 300\n}\nobjects {\n  box: image noise.png {\n"
               "    stretch: 1\n  }\n}\nrenderLines {\n  screen {\n  }\n}\nscript {\n"
               "  0 enable box\n  1 end\n}\n");
    noisy.folder.WriteData(
        "noise.png", OrvMakePng(64, 64, 3, std::vector<unsigned char>(noise.begin(), noise.end())));
    run = Capture(noisy,
                  {"-c", "ulimit -f 128 && exec \"$0\" --to 0.3 --out full", noisy.Path("Capture")},
                  {}, "/bin/sh");
    EXPECT_EQ(1, run.code);
    EXPECT_EQ("Capture: Could not write " + noisy.folder.BinPath("full/frame-000000.png") +
                  ": File too large\n",
              run.errors);
    EXPECT_EQ(std::vector<std::string>{"audio.wav"}, Files(noisy.folder.BinPath("full")));
}

TEST(OrvCapture, VideoNeedsFfmpegAndMuxesTheSound) {
    Show show;
    Result without = Capture(show, {"--video", "show.mp4"}, {{"PATH", show.folder.DataPath("")}});
    EXPECT_EQ(1, without.code);
    EXPECT_EQ("Capture: --video needs ffmpeg, which is not on the PATH; install it (apt-get "
              "install ffmpeg) or capture PNG frames without --video\n",
              without.errors);

    if (std::system("command -v ffmpeg > /dev/null && command -v ffprobe > /dev/null") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    Result run = Capture(show, {"--video", show.Path("show.mp4"), "--fps", "25"});
    ASSERT_EQ(0, run.code) << run.errors;
    EXPECT_EQ(std::vector<std::string>{"show.mp4"},
              std::vector<std::string>{Files(show.folder.Root()).back()});
    std::string probe = "ffprobe -v error -show_entries stream=codec_name,nb_frames,width "
                        "-of csv=p=0 '" +
                        show.Path("show.mp4") + "' > '" + show.Path("probe.txt") + "'";
    ASSERT_EQ(0, std::system(probe.c_str()));
    std::string streams = OrvReadFile(show.Path("probe.txt"));
    EXPECT_NE(std::string::npos, streams.find("h264,80,75")) << streams;
    EXPECT_NE(std::string::npos, streams.find("aac")) << streams;
    // The first frame upright: the square below the middle (H.264 colours are near, not exact).
    std::string first = "ffmpeg -v error -i '" + show.Path("show.mp4") +
                        "' -frames:v 1 -f rawvideo -pix_fmt rgb24 '" + show.Path("first.rgb") + "'";
    ASSERT_EQ(0, std::system(first.c_str()));
    std::string rgb = OrvReadFile(show.Path("first.rgb"));
    ASSERT_EQ(80u * 60u * 3u, rgb.size());
    auto channel = [&rgb](int x, int y, int c) {
        return static_cast<unsigned char>(rgb[static_cast<size_t>((y * 80 + x) * 3 + c)]);
    };
    EXPECT_GT(channel(10, 45, 1), 200); // white square: green is high
    EXPECT_LT(channel(10, 15, 1), 60);  // red above it: green is low
    EXPECT_GT(channel(10, 15, 0), 200);
    std::remove(show.Path("first.rgb").c_str());

    // No temporary file stays behind: neither the video's nor the sound handed to ffmpeg.
    for (const std::string& name : Files(show.folder.Root())) {
        EXPECT_EQ(std::string::npos, name.find(".part")) << name;
        EXPECT_EQ(std::string::npos, name.find(".wav")) << name;
    }
}

TEST(OrvCapture, ShowsItsProgressOnATerminal) {
    if (std::system("command -v script > /dev/null") != 0)
        GTEST_SKIP() << "needs script(1) for a terminal";
    Show show;
    // script gives Capture a terminal and copies what it shows to its own output.
    Result run = Capture(
        show,
        {"-qec", show.Path("Capture") + " --fps 10 --out " + show.Path("frames"), "/dev/null"}, {},
        "/usr/bin/script");
    ASSERT_EQ(0, run.code) << run.output << run.errors;
    EXPECT_NE(std::string::npos, run.output.find("30/30 frames")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("frames/s")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("0:00 left")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Captured 30 frames")) << run.output;
}

// A sync editor's saved keys play in a capture: after the timeline, taking over a parameter from
// their first line for it on.
TEST(OrvCapture, PlaysTheSavedSyncKeys) {
    std::string script = ShowScript;
    script.replace(script.find("  width: 80\n"), 0, "  sync: keys.txt\n");
    Show show(script);
    show.folder.WriteData("keys.txt", "# screen:clear.r\n0.500 screen.clear.r = 0 to 1 in 1.000\n"
                                      "1.500 screen.clear.r = smooth 1 to 0 in 1.000\n");
    Result run = Capture(show, {"--fps", "4", "--out", show.Path("frames")});
    ASSERT_EQ(0, run.code) << run.errors;
    // The timeline's red until 0.5 s; then the keys' fade, half way at 1 s (green from the
    // timeline); the smooth key half way at 2 s, where the timeline has turned blue.
    EXPECT_EQ(Red, ReadPng(show.Path("frames/frame-000000.png")).At(40, 20));
    std::string middle = ReadPng(show.Path("frames/frame-000004.png")).At(40, 20);
    EXPECT_TRUE(middle == "127,255,0" || middle == "128,255,0") << middle;
    middle = ReadPng(show.Path("frames/frame-000008.png")).At(40, 20);
    EXPECT_TRUE(middle == "127,0,255" || middle == "128,0,255") << middle;
}

namespace {

// The pictures of a video as ffmpeg decodes them, one digest a frame.
std::vector<std::string> FrameDigests(const std::string& video) {
    OrvChildProcess ffmpeg("/usr/bin/ffmpeg", "/", {}, {},
                           {"-v", "error", "-i", video, "-map", "0:v", "-f", "framemd5", "-"});
    std::vector<std::string> digests;
    if (!ffmpeg.Wait(60000) || ffmpeg.ExitCode() != 0)
        return digests;
    std::string text = ffmpeg.Output();
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line[0] != '#')
            digests.push_back(line);
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return digests;
}

// Every file of the parts' folders but part.txt and audio.wav is the whole capture's file of
// that name, and together they are all of its frames; the parts' sounds end to end are its
// sound.
void ExpectPartsMakeTheWhole(const Show& show, const std::string& whole,
                             const std::vector<std::string>& parts) {
    std::vector<std::string> frames;
    std::vector<short> samples;
    for (const std::string& part : parts) {
        for (const std::string& name : Files(show.Path(part))) {
            if (name == "part.txt" || name == "audio.wav" || name.find(".log") != name.npos)
                continue;
            frames.push_back(name);
            EXPECT_TRUE(OrvReadFile(show.Path(part + "/" + name)) ==
                        OrvReadFile(show.Path(whole + "/" + name)))
                << part << "/" << name << " differs from the whole capture's";
        }
        Sound sound = ReadWav(show.Path(part + "/audio.wav"));
        samples.insert(samples.end(), sound.samples.begin(), sound.samples.end());
    }
    std::vector<std::string> expected = Files(show.Path(whole));
    expected.erase(std::remove(expected.begin(), expected.end(), "audio.wav"), expected.end());
    std::sort(frames.begin(), frames.end());
    EXPECT_EQ(expected, frames);
    Sound sound = ReadWav(show.Path(whole + "/audio.wav"));
    ASSERT_GT(sound.samples.size(), 1000u);
    EXPECT_TRUE(sound.samples == samples) << samples.size() / 2 << " sample frames in the parts, "
                                          << sound.info.frames << " in the whole capture";
}

// Sorted particles in a pass without a camera, which face the way the camera of the pass after
// them looked in the frame before; the camera moves.
const char* const FacingScript = "header {\n"
                                 "  width: 80\n"
                                 "  height: 60\n"
                                 "}\n"
                                 "objects {\n"
                                 "  cam: camera {\n"
                                 "    pos.z: 20\n"
                                 "  }\n"
                                 "  sparks: particles {\n"
                                 "    maxParticles: 300\n"
                                 "    drawingMode: 1\n"
                                 "    emitter {\n"
                                 "      lifeTime: 0.5 1.5\n"
                                 "      dir.x: -4 4\n"
                                 "      dir.y: 4 10\n"
                                 "      dir.z: -4 4\n"
                                 "      size: 0.3 0.6\n"
                                 "    }\n"
                                 "    emitter[0].emittingSpeed: 200\n"
                                 "  }\n"
                                 "}\n"
                                 "renderLines {\n"
                                 "  screen {\n"
                                 "    objects: sparks\n"
                                 "  }\n"
                                 "  side {\n"
                                 "    output: *spare 16 16\n"
                                 "    objects: cam\n"
                                 "  }\n"
                                 "}\n"
                                 "script {\n"
                                 "  0 screen.clear.b = 0.5\n"
                                 "  0 screen.clear.a = 1\n"
                                 "  0 enable cam sparks\n"
                                 "  0 cam.pos.x = -20 to 20 in 2\n"
                                 "  2 end\n"
                                 "}\n";

bool HasFfmpeg() {
    return std::system("command -v ffmpeg > /dev/null") == 0;
}

} // namespace

// Parts rendered apart, each by its own Capture, are the whole capture byte for byte: the
// particles (moved by each frame's time, emitted at random) are where the whole capture has
// them, the frames are numbered as there, and at a rate of uneven frames (29.97) the sounds
// meet sample for sample. The join, given the folders in any order, makes the video the whole
// capture makes.
TEST(OrvCapture, PartsRenderedApartAreTheWholeCaptureAndJoinIntoItsVideo) {
    {
        // What drawing carries to the next frame (the camera last drawn) is there too.
        Show facing(FacingScript);
        ASSERT_EQ(0, Capture(facing, {"--fps", "20", "--out", facing.Path("whole")}).code);
        for (const char* k : {"1", "2"})
            ASSERT_EQ(0, Capture(facing, {"--fps", "20", "--part", std::string(k) + "/2", "--out",
                                          facing.Path(std::string("part-") + k)})
                             .code);
        ExpectPartsMakeTheWhole(facing, "whole", {"part-1", "part-2"});
    }
    Show show(ParticleScript);
    ASSERT_EQ(0, Capture(show, {"--fps", "29.97", "--out", show.Path("whole")}).code);
    std::vector<std::string> parts;
    for (int k = 1; k <= 4; ++k) {
        std::string folder = "part-" + std::to_string(k);
        Result run = Capture(show, {"--fps", "29.97", "--part", std::to_string(k) + "/4", "--out",
                                    show.Path(folder)});
        ASSERT_EQ(0, run.code) << run.errors;
        EXPECT_NE(std::string::npos, run.output.find("Captured 15 frames")) << run.output;
        parts.push_back(folder);
    }
    ExpectPartsMakeTheWhole(show, "whole", parts);
    EXPECT_NE(std::string::npos,
              OrvReadFile(show.Path("part-3/part.txt")).find("frames 30 45 60\n"));

    if (!HasFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    Result joined =
        Capture(show, {"--join", show.Path("part-3"), show.Path("part-1"), show.Path("part-4"),
                       show.Path("part-2"), "--video", show.Path("parts.mp4")});
    ASSERT_EQ(0, joined.code) << joined.errors;
    EXPECT_NE(std::string::npos, joined.output.find("Joined 4 parts, 60 frames")) << joined.output;
    ASSERT_EQ(0, Capture(show, {"--fps", "29.97", "--video", show.Path("whole.mp4")}).code);
    std::vector<std::string> digests = FrameDigests(show.Path("parts.mp4"));
    EXPECT_EQ(60u, digests.size());
    EXPECT_EQ(FrameDigests(show.Path("whole.mp4")), digests);
    // Nothing of the join is left beside the video.
    EXPECT_EQ((std::vector<std::string>{"parts.mp4", "whole.mp4"}), [&] {
        std::vector<std::string> videos;
        for (const std::string& name : Files(show.Path("")))
            if (name.find(".mp4") != std::string::npos)
                videos.push_back(name);
        return videos;
    }());
}

// A join refuses, naming the folder, parts that are not one whole capture or not whole
// themselves, and leaves no video; a part that would hold no frame is refused before anything
// is rendered.
TEST(OrvCapture, JoinRefusesPartsThatDoNotMakeOneCaptureAndNamesThem) {
    Show show;
    for (const char* k : {"1", "2", "3"})
        ASSERT_EQ(0, Capture(show, {"--fps", "5", "--part", std::string(k) + "/3", "--out",
                                    show.Path(std::string("p") + k)})
                         .code);
    ASSERT_EQ(0, Capture(show, {"--fps", "5", "--size", "40x30", "--part", "2/3", "--out",
                                show.Path("small")})
                     .code);
    ASSERT_EQ(0, Capture(show, {"--fps", "5", "--part", "2/3", "--out", show.Path("holed")}).code);
    ASSERT_EQ(0, std::remove(show.Path("holed/frame-000007.png").c_str()));
    ASSERT_EQ(0, Capture(show, {"--fps", "5", "--part", "2/3", "--out", show.Path("mute")}).code);
    ASSERT_EQ(0, truncate(show.Path("mute/audio.wav").c_str(), 1000));
    // A task that failed or still runs has written frames but no part.txt yet.
    ASSERT_EQ(0,
              Capture(show, {"--fps", "5", "--part", "2/3", "--out", show.Path("running")}).code);
    ASSERT_EQ(0, std::remove(show.Path("running/part.txt").c_str()));
    OrvCopyPath(show.Path("p2"), show.Path("forged"));
    std::string forged = OrvReadFile(show.Path("p2/part.txt"));
    forged.replace(forged.find("frames 5 10"), 11, "frames 5 11");
    show.folder.WriteData("../forged/part.txt", forged);

    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    auto join = [&](std::vector<std::string> folders) {
        std::vector<std::string> arguments = {"--join"};
        for (const std::string& folder : folders)
            arguments.push_back(show.Path(folder));
        arguments.insert(arguments.end(), {"--video", show.Path("joined.mp4")});
        return arguments;
    };
    for (const Case& c : std::vector<Case>{
             {join({"p1", "p3"}), "the parts do not fit together: part 2 of 3 is missing"},
             {join({"p1", "p2", "p3", "p2"}),
              "part 2/3 is given twice: " + show.Path("p2") + " and " + show.Path("p2")},
             {join({"p1", "small", "p3"}), show.Path("small") + " is of another capture"},
             {join({"p1", "holed", "p3"}),
              show.Path("holed") + " (part 2/3) is not whole: frame-000007.png is missing"},
             {join({"p1", "mute", "p3"}), show.Path("mute") + " (part 2/3) is not whole: its "
                                                              "audio.wav"},
             {join({"p1", "running", "p3"}),
              show.Path("running") + " holds no finished part: " + show.Path("running") +
                  "/part.txt: No such file or directory"},
             {join({"p1", "forged", "p3"}),
              show.Path("forged") + "/part.txt: the frames are not those of part 2/3"},
             {{"--fps", "5", "--to", "0.4", "--part", "1/3", "--out", show.Path("tiny")},
              "Capture: part 1/3 would hold no frame: the capture has 2 frames"},
         }) {
        SCOPED_TRACE(c.message);
        Result run = Capture(show, c.arguments);
        EXPECT_EQ(1, run.code);
        EXPECT_NE(std::string::npos, run.errors.find(c.message)) << run.errors;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_TRUE(OrvReadFile(show.Path("joined.mp4")).empty());
        EXPECT_TRUE(Files(show.Path("tiny")).empty());
    }
}

// The cluster script on a real Slurm of the test's own: four array tasks render the parts
// with no display server, the join runs after them; a task that fails stops the join, and
// resubmitting that task alone (--only) brings the video. Its frames are those of a capture
// on one machine.
TEST(OrvCapture, ClusterScriptRendersThePartsOnSlurmAndJoinsThemIntoTheWholeCapture) {
    std::string reason = OrvTestSlurm::Unavailable();
    if (!reason.empty())
        GTEST_SKIP() << reason;
    if (!HasFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    Show show(ParticleScript);
    mkdir(show.Path("slurm").c_str(), 0755);
    OrvTestSlurm slurm(show.Path("slurm"));
    ASSERT_TRUE(slurm.Start()) << slurm.Error();

    auto submit = [&](const std::vector<std::string>& options) {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"--parts", "4", "--wait", show.Path(""),
                                           show.Path("out.mp4"), "--", "--fps", "20"});
        OrvChildProcess script(ORV_CLUSTER_SCRIPT, show.Path(""),
                               {{"SLURM_CONF", slurm.ConfigPath()}}, {}, arguments);
        Result run;
        if (!script.Wait(90000))
            run.errors = "capture-cluster.sh did not end";
        run.code = script.Exited() ? script.ExitCode() : -1;
        run.output = script.Output();
        run.errors += script.Errors();
        return run;
    };
    // Part 3's folder cannot be made: its task fails, and the join with it.
    mkdir(show.Path("out.mp4.parts").c_str(), 0755);
    show.folder.WriteData("../out.mp4.parts/part-3", "in the way");
    Result failed = submit({});
    EXPECT_EQ(1, failed.code) << failed.output << failed.errors;
    EXPECT_NE(std::string::npos, failed.errors.find("resubmit a failed part with --only K"))
        << failed.errors;
    EXPECT_NE(std::string::npos,
              OrvReadFile(show.Path("out.mp4.parts/part-3.log")).find("Capture: cannot write"));
    EXPECT_TRUE(OrvReadFile(show.Path("out.mp4")).empty());

    ASSERT_EQ(0, std::remove(show.Path("out.mp4.parts/part-3").c_str()));
    Result again = submit({"--only", "3"});
    ASSERT_EQ(0, again.code) << again.output << again.errors
                             << OrvReadFile(show.Path("out.mp4.parts/join.log"));
    EXPECT_NE(std::string::npos, again.output.find("(array 3)")) << again.output;

    ASSERT_EQ(0, Capture(show, {"--fps", "20", "--out", show.Path("whole")}).code);
    ExpectPartsMakeTheWhole(show, "whole",
                            {"out.mp4.parts/part-1", "out.mp4.parts/part-2", "out.mp4.parts/part-3",
                             "out.mp4.parts/part-4"});
    ASSERT_EQ(0, Capture(show, {"--fps", "20", "--video", show.Path("whole.mp4")}).code);
    std::vector<std::string> digests = FrameDigests(show.Path("out.mp4"));
    EXPECT_EQ(40u, digests.size());
    EXPECT_EQ(FrameDigests(show.Path("whole.mp4")), digests);
}
