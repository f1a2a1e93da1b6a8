// The pieces of Capture that need no show: reading the options, counting frames and sound,
// and the PNG encoder read back by libpng (through SDL_image).

#include "OrvCaptureAudio.h"
#include "OrvCaptureOptions.h"
#include "OrvCaptureRenderer.h"
#include "OrvPngEncoder.h"
#include "OrvWavWriter.h"

#include "support/OrvTestFolder.h"

#include <SDL2/SDL_image.h>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

bool Parses(std::vector<const char*> words, OrvCaptureOptions& options) {
    words.insert(words.begin(), "Capture");
    std::string error;
    return options.Parse(static_cast<int>(words.size()), words.data(), error);
}

} // namespace

TEST(OrvCaptureKit, ReadsRatesSizesAndTimesExactly) {
    unsigned n = 0, d = 0;
    ASSERT_TRUE(OrvCaptureOptions::ParseRate("30000/1001", n, d));
    EXPECT_EQ(30000u, n);
    EXPECT_EQ(1001u, d);
    ASSERT_TRUE(OrvCaptureOptions::ParseRate("29.97", n, d)); // 2997/100
    EXPECT_EQ(2997u, n);
    EXPECT_EQ(100u, d);
    ASSERT_TRUE(OrvCaptureOptions::ParseRate("50/2", n, d)); // reduced
    EXPECT_EQ(25u, n);
    EXPECT_EQ(1u, d);
    for (const char* bad : {"0", "0/5", "5/0", "-30", "1001", "abc", "30/", "/2", "", "1e2"})
        EXPECT_FALSE(OrvCaptureOptions::ParseRate(bad, n, d)) << bad;

    int w = 0, h = 0;
    ASSERT_TRUE(OrvCaptureOptions::ParseSize("1280x720", w, h));
    EXPECT_EQ(1280, w);
    EXPECT_EQ(720, h);
    for (const char* bad : {"1280", "0x720", "1280x", "16385x10", "12x-3", "axb"})
        EXPECT_FALSE(OrvCaptureOptions::ParseSize(bad, w, h)) << bad;

    unsigned ms = 0;
    ASSERT_TRUE(OrvCaptureOptions::ParseSeconds("4.35", ms));
    EXPECT_EQ(4350u, ms); // not 4349, as 4.35 * 1000 in doubles would truncate to
    ASSERT_TRUE(OrvCaptureOptions::ParseSeconds("0.0015", ms));
    EXPECT_EQ(2u, ms);
    ASSERT_TRUE(OrvCaptureOptions::ParseSeconds("12", ms));
    EXPECT_EQ(12000u, ms);
    for (const char* bad : {"-1", "1,5", "", ".", "4294968", "3s"})
        EXPECT_FALSE(OrvCaptureOptions::ParseSeconds(bad, ms)) << bad;

    OrvCaptureOptions options;
    ASSERT_TRUE(Parses({"--fps=24", "--out", "x", "--to", "2"}, options));
    EXPECT_EQ(24u, options.fpsNumerator);
    EXPECT_EQ("x", options.outFolder);
    EXPECT_TRUE(options.hasTo);
    EXPECT_FALSE(options.hasFrom);
    OrvCaptureOptions defaults;
    ASSERT_TRUE(Parses({}, defaults));
    EXPECT_EQ(60u, defaults.fpsNumerator);
    EXPECT_EQ(1u, defaults.fpsDenominator);
    EXPECT_EQ("capture", defaults.outFolder);
    EXPECT_TRUE(defaults.videoFile.empty());
    EXPECT_EQ(0u, defaults.videoMbits);

    // A constant video rate, in whole megabits a second, and only for a video.
    OrvCaptureOptions video;
    ASSERT_TRUE(Parses({"--video", "show.mp4", "--bitrate", "12"}, video));
    EXPECT_EQ(12u, video.videoMbits);
    ASSERT_TRUE(Parses({"--bitrate=1000", "--video=show.mp4"}, video));
    EXPECT_EQ(1000u, video.videoMbits);
    for (const char* bad : {"0", "1001", "12M", "1.5", "-3", ""}) {
        OrvCaptureOptions rejected;
        std::vector<const char*> words = {"Capture", "--video", "show.mp4", "--bitrate", bad};
        std::string error;
        EXPECT_FALSE(rejected.Parse(static_cast<int>(words.size()), words.data(), error)) << bad;
        EXPECT_EQ(std::string("Capture: bad value \"") + bad +
                      "\" for --bitrate: expected whole megabits a second, 1 to 1000, such as 12",
                  error);
    }
    std::vector<const char*> withoutVideo = {"Capture", "--bitrate", "12"};
    std::string error;
    OrvCaptureOptions frames;
    EXPECT_FALSE(frames.Parse(3, withoutVideo.data(), error));
    EXPECT_EQ("Capture: --bitrate is the rate of a video: give --video FILE too", error);
}

TEST(OrvCaptureKit, CountsFramesBeforeTheEndAndSoundToTheSample) {
    EXPECT_EQ(60u, OrvCaptureRenderer::FrameCount(0, 1000, 60, 1));
    EXPECT_EQ(61u, OrvCaptureRenderer::FrameCount(0, 1001, 60, 1));
    // 10 s at 29.97: frame 299 lies at 9976.6 ms, frame 300 at 10010 ms.
    EXPECT_EQ(300u, OrvCaptureRenderer::FrameCount(5000, 15000, 30000, 1001));
    EXPECT_EQ(0u, OrvCaptureRenderer::FrameCount(2000, 2000, 60, 1));

    EXPECT_EQ(44100u, OrvCaptureAudio::FrameCount(500, 1500));
    EXPECT_EQ(44u, OrvCaptureAudio::FrameCount(0, 1));    // 44.1
    EXPECT_EQ(662u, OrvCaptureAudio::FrameCount(0, 15));  // 661.5, rounded half up
    EXPECT_EQ(1323u, OrvCaptureAudio::FrameCount(7, 37)); // 1323.0
    EXPECT_EQ(0u, OrvCaptureAudio::FrameCount(3000, 2000));
}

TEST(OrvCaptureKit, PngFilesDecodeToThePicturesGivenWithTheRowsTurnedUpright) {
    OrvTestFolder folder;
    // An odd width, so rows do not line up with words; bytes that wrap in every filter.
    const int width = 7, height = 5;
    std::vector<uint8_t> pixels(width * height * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 73 + 11);
    const OrvPngEncoder::Filter filters[] = {OrvPngEncoder::FilterNone, OrvPngEncoder::FilterSub,
                                             OrvPngEncoder::FilterUp};
    for (OrvPngEncoder::Filter filter : filters) {
        for (OrvPngEncoder::PixelOrder order : {OrvPngEncoder::Rgba, OrvPngEncoder::Bgra}) {
            OrvPngEncoder encoder(width, height, 1, filter);
            ASSERT_TRUE(encoder.Encode(pixels.data(), order));
            std::string path =
                folder.WriteData("p.png", std::string(reinterpret_cast<const char*>(encoder.Data()),
                                                      encoder.Size()));
            SDL_Surface* image = IMG_Load(path.c_str());
            ASSERT_NE(nullptr, image) << "filter " << filter << ": " << IMG_GetError();
            ASSERT_EQ(width, image->w);
            ASSERT_EQ(height, image->h);
            int wrong = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    Uint32 pixel = 0;
                    std::memcpy(&pixel,
                                static_cast<Uint8*>(image->pixels) + y * image->pitch +
                                    x * image->format->BytesPerPixel,
                                image->format->BytesPerPixel);
                    Uint8 rgb[3];
                    SDL_GetRGB(pixel, image->format, &rgb[0], &rgb[1], &rgb[2]);
                    // The PNG's top row is the last row given.
                    const uint8_t* source = &pixels[((height - 1 - y) * width + x) * 4];
                    int red = order == OrvPngEncoder::Rgba ? 0 : 2;
                    wrong +=
                        rgb[0] != source[red] || rgb[1] != source[1] || rgb[2] != source[2 - red];
                }
            }
            EXPECT_EQ(0, wrong) << "filter " << filter << ", order " << order;
            SDL_FreeSurface(image);
        }
    }
}

TEST(OrvCaptureKit, AWavFileOfTheWrongLengthIsNotLeftBehind) {
    OrvTestFolder folder;
    std::string path = folder.DataPath("a.wav");
    OrvWavWriter wav;
    ASSERT_TRUE(wav.Open(path, 3));
    const int16_t samples[4] = {1, -1, 2, -2};
    ASSERT_TRUE(wav.Write(samples, 2));
    EXPECT_FALSE(wav.Commit()); // 2 of 3 frames
    EXPECT_TRUE(OrvReadFile(path).empty());
    EXPECT_TRUE(OrvReadFile(path + ".part").empty());
    EXPECT_NE(std::string::npos, wav.Error().find("length")) << wav.Error();

    ASSERT_TRUE(wav.Open(path, 2));
    ASSERT_TRUE(wav.Write(samples, 2));
    ASSERT_TRUE(wav.Commit());
    std::string bytes = OrvReadFile(path);
    ASSERT_EQ(44u + 8u, bytes.size());
    EXPECT_EQ(std::string("\x01\x00\xff\xff\x02\x00\xfe\xff", 8), bytes.substr(44));
}
