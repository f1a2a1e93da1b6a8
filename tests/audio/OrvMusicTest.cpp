#include "audio/OrvMusic.h"
#include "base/OrvDiagnostics.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvTestFolder.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sndfile.h>

// Every test here runs in its own process, so the error log starts empty and the
// environment variables set before SDL opens the device are this test's alone.

namespace {

constexpr int WavFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int Rate = 44100;
const double Pi = std::acos(-1.0);

// A ten-second ramp: long enough that the tests stop it well before its end.
std::string WriteRamp(const OrvTestFolder& folder, const std::string& name) {
    std::string path = folder.DataPath(name);
    EXPECT_TRUE(OrvMusicWriteAudio(path, WavFormat, Rate, 2, OrvMusicRamp(10 * Rate)));
    return path;
}

// Frames of the captured stereo sound from `from`, against the ideal 441 Hz sine at half
// scale that starts `seconds` into the track (channel c shifted by c radians for stereo
// files, both the same for mono ones). Returns the largest difference in LSB.
double WorstSineError(const std::vector<int16_t>& capture, long from, long count, double seconds,
                      bool mono) {
    double worst = 0;
    for (long i = 0; i < count; ++i) {
        double t = seconds + double(i) / Rate;
        for (int c = 0; c < 2; ++c) {
            double ideal = 0.5 * 32768.0 * std::sin(2 * Pi * 441.0 * t + 0.3 + (mono ? 0 : c));
            worst = std::max(worst, std::fabs(capture[2 * (from + i) + c] - ideal));
        }
    }
    return worst;
}

} // namespace

TEST(OrvMusic, BytePositionFollowsWholeSecondsAndWholeFrames) {
    EXPECT_EQ(0u, OrvAudioStream::SecondsToBytes(0.0));
    EXPECT_EQ(176400u, OrvAudioStream::SecondsToBytes(1.0));
    EXPECT_EQ(88200u, OrvAudioStream::SecondsToBytes(0.5));
    EXPECT_EQ(4u, OrvAudioStream::SecondsToBytes(1.5 / Rate)); // rounded down to a frame
    EXPECT_EQ(0u, OrvAudioStream::SecondsToBytes(-3.0));
    EXPECT_EQ(0u, OrvAudioStream::SecondsToBytes(std::nan("")));

    EXPECT_EQ(0u, OrvMusic::BytePosition(0));
    EXPECT_EQ(176400u, OrvMusic::BytePosition(1000));
    EXPECT_EQ(441000u, OrvMusic::BytePosition(2500));
    EXPECT_EQ(176u, OrvMusic::BytePosition(1));      // 176.4
    EXPECT_EQ(528u, OrvMusic::BytePosition(3));      // 529.2, down to a whole frame
    EXPECT_EQ(176220u, OrvMusic::BytePosition(999)); // 176223.6
    // The largest position: 4294967 s and 295 ms, no overflow on the way.
    EXPECT_EQ(757632230836u, OrvMusic::BytePosition(4294967295u));

    uint64_t previous = 0;
    for (unsigned ms = 0; ms < 5000; ++ms) {
        uint64_t position = OrvMusic::BytePosition(ms);
        ASSERT_EQ(0u, position % 4) << ms;
        ASSERT_GE(position, previous) << ms;
        ASSERT_EQ(OrvAudioStream::SecondsToBytes(ms / 1000),
                  OrvMusic::BytePosition(ms / 1000 * 1000));
        previous = position;
    }
}

TEST(OrvMusic, NoSoundDeviceIsOnlyAWarningAndEveryCallStaysSafe) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    std::string path = WriteRamp(folder, "music.wav");
    // A driver name SDL does not have stands for a machine without sound hardware.
    setenv("SDL_AUDIODRIVER", "orvanta-no-such-driver", 1);
    {
        OrvMusic music;
        EXPECT_FALSE(music.Load(path, diagnostics));
        music.SetPosition(2500);
        music.Play(0);
        music.SetPosition(1000);
        music.Stop();
        music.Play(0);
    }
    EXPECT_EQ("Could not initialize audio\n", diagnostics.Text());
    EXPECT_FALSE(diagnostics.HasError());
    EXPECT_EQ(0, diagnostics.HighestSeverity());
}

TEST(OrvMusic, FilesThatAreNoAudioAreOnlyWarnings) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    OrvMusicCapture capture(folder.Root());
    folder.WriteData("notes.wav", "These are notes about the music, not the music itself.\n");
    folder.WriteData("empty.flac", "");
    folder.WriteData("garbage.mp3", std::string(5000, '\x55'));
    {
        OrvMusic music;
        EXPECT_FALSE(music.Load(folder.DataPath("missing.ogg"), diagnostics));
        EXPECT_FALSE(music.Load(folder.DataPath("notes.wav"), diagnostics));
        EXPECT_FALSE(music.Load(folder.DataPath("empty.flac"), diagnostics));
        EXPECT_FALSE(music.Load(folder.DataPath("garbage.mp3"), diagnostics));
        EXPECT_FALSE(music.Load(folder.Root() + "/data", diagnostics)); // a folder
        music.SetPosition(1500);
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSilence(4096));
        music.Stop();
    }
    EXPECT_EQ(0u, OrvMusicSoundFrames(capture.Samples()));
    std::string expected;
    for (int i = 0; i < 5; ++i)
        expected += "Could not load the music file\n";
    EXPECT_EQ(expected, diagnostics.Text());
    EXPECT_FALSE(diagnostics.HasError());
    EXPECT_EQ(0, diagnostics.HighestSeverity());
}

TEST(OrvMusic, WavPlaysSampleExactAndResumesWhereItStopped) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    OrvMusicCapture capture(folder.Root());
    std::string path = WriteRamp(folder, "music.wav");
    size_t firstRun = 0;
    {
        OrvMusic music;
        ASSERT_TRUE(music.Load(path, diagnostics));
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSound(Rate));
        music.Stop();
        ASSERT_TRUE(capture.WaitForSilence(2 * 1024));
        firstRun = OrvMusicSoundFrames(capture.Samples());
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSound(firstRun + Rate / 2));
        music.Stop();
    }
    EXPECT_EQ("", diagnostics.Text());

    int stray = 0;
    std::vector<OrvMusicSegment> segments = OrvMusicRampSegments(capture.Samples(), stray);
    EXPECT_EQ(0, stray); // every played frame is a file frame, bit for bit
    ASSERT_EQ(2u, segments.size());
    EXPECT_EQ(0, segments[0].first);
    EXPECT_EQ(int(firstRun), segments[0].count);
    EXPECT_EQ(segments[0].count, segments[1].first); // not restarted
    EXPECT_GE(segments[1].count, Rate / 2);
    EXPECT_LT(segments[1].first + segments[1].count, 10 * Rate); // stopped before the end
}

TEST(OrvMusic, SetPositionSeeksBeforeAndDuringPlayback) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    OrvMusicCapture capture(folder.Root());
    std::string path = WriteRamp(folder, "music.wav");
    {
        OrvMusic music;
        ASSERT_TRUE(music.Load(path, diagnostics));
        music.SetPosition(2500); // the engine seeks to the show's start before playing
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSound(4410));
        music.SetPosition(7001);
        size_t played = OrvMusicSoundFrames(capture.Samples());
        ASSERT_TRUE(capture.WaitForSound(played + 2 * 4410));
        music.SetPosition(60000); // past the end: silence
        ASSERT_TRUE(capture.WaitForSilence(2 * 1024));
        played = OrvMusicSoundFrames(capture.Samples());
        music.SetPosition(0); // and back
        ASSERT_TRUE(capture.WaitForSound(played + 4410));
        music.Stop();
    }
    EXPECT_EQ("", diagnostics.Text());

    int stray = 0;
    std::vector<OrvMusicSegment> segments = OrvMusicRampSegments(capture.Samples(), stray);
    EXPECT_EQ(0, stray);
    ASSERT_EQ(3u, segments.size());
    EXPECT_EQ(110250, segments[0].first); // 2.5 s
    EXPECT_EQ(308744, segments[1].first); // 7.001 s = byte 1234976
    EXPECT_GE(segments[1].count, 4410);
    EXPECT_EQ(0, segments[2].first);
}

TEST(OrvMusic, MonoAt22050HzPlaysResampledOnBothSides) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    OrvMusicCapture capture(folder.Root());
    std::string path = folder.DataPath("mono.wav");
    ASSERT_TRUE(OrvMusicWriteAudio(path, WavFormat, 22050, 1,
                                   OrvMusicSine(4 * 22050, 22050, 1, 441.0, 0.3, 0.5)));
    {
        OrvMusic music;
        ASSERT_TRUE(music.Load(path, diagnostics));
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSound(Rate));
        music.Stop();
        ASSERT_TRUE(capture.WaitForSilence(2 * 1024));
        size_t played = OrvMusicSoundFrames(capture.Samples());
        music.SetPosition(2500); // 1102.5 periods in: the sine continues upside down
        music.Play(0);
        ASSERT_TRUE(capture.WaitForSound(played + Rate / 2));
        music.Stop();
    }
    EXPECT_EQ("", diagnostics.Text());

    std::vector<int16_t> samples = capture.Samples();
    long start1 = OrvMusicFirstSound(samples);
    ASSERT_GE(start1, 0);
    long end1 = OrvMusicFirstSilence(samples, start1);
    long start2 = OrvMusicFirstSound(samples, end1);
    ASSERT_GT(start2, end1);
    long end2 = OrvMusicFirstSilence(samples, start2);
    ASSERT_GE(end1 - start1, Rate);
    ASSERT_GE(end2 - start2, Rate / 2);

    for (long i = start1; i < end2; ++i)
        ASSERT_EQ(samples[2 * i], samples[2 * i + 1]) << "frame " << i;
    // The resampler starts from silence, so its first few frames ring; after that the
    // output is the 441 Hz sine at 44100 Hz, in phase, within a few LSB.
    const long settle = 64;
    EXPECT_LT(WorstSineError(samples, start1 + settle, Rate - settle, double(settle) / Rate, true),
              4.0);
    EXPECT_LT(WorstSineError(samples, start2 + settle, Rate / 2 - settle,
                             2.5 + double(settle) / Rate, true),
              4.0);
}

TEST(OrvMusic, FlacOggVorbisOggOpusAndMp3Stream) {
    OrvDiagnostics diagnostics;
    struct Case {
        const char* name;
        int format;
        int rate;
        bool exact;
    };
    const Case cases[] = {
        {"music.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, Rate, true},
        {"music.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, Rate, false},
        {"music.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, false}, // Opus has no 44100 Hz
        {"music.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, Rate, false},
    };
    OrvTestFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder.DataPath(c.name);
        ASSERT_TRUE(OrvMusicWriteAudio(path, c.format, c.rate, 2,
                                       OrvMusicSine(3 * c.rate, c.rate, 2, 441.0, 0.3, 0.5)));
        OrvMusicCapture capture(folder.Root(), std::string(c.name) + ".raw");
        {
            OrvMusic music;
            ASSERT_TRUE(music.Load(path, diagnostics));
            music.SetPosition(1500); // 661.5 periods: upside down against the start
            music.Play(0);
            ASSERT_TRUE(capture.WaitForSound(Rate / 2));
            music.Stop();
        }
        std::vector<int16_t> samples = capture.Samples();
        long start = OrvMusicFirstSound(samples);
        ASSERT_GE(start, 0);
        long count = OrvMusicFirstSilence(samples, start) - start;
        ASSERT_GE(count, Rate / 2);
        if (c.exact) {
            std::vector<int16_t> decoded = OrvMusicDecode(path);
            ASSERT_GE(decoded.size(), size_t(2 * (Rate * 3 / 2 + count)));
            for (long i = 0; i < 2 * count; ++i)
                ASSERT_EQ(decoded[2 * Rate * 3 / 2 + i], samples[2 * start + i]) << i;
        }
        // Lossy codecs only keep the shape: both channels, in their order, in phase with
        // where the track was sought to (a frame off would already be some 1000 LSB).
        const long settle = 2048;
        EXPECT_LT(WorstSineError(samples, start + settle, count - settle,
                                 1.5 + double(settle) / Rate, false),
                  600.0);
    }
    EXPECT_EQ("", diagnostics.Text());
}

TEST(OrvMusic, SafeAfterSdlQuitAndLoadsAgain) {
    OrvDiagnostics diagnostics;
    OrvTestFolder folder;
    std::string path = WriteRamp(folder, "music.wav");
    OrvMusicCapture first(folder.Root(), "first.raw");
    OrvMusic music;
    ASSERT_TRUE(music.Load(path, diagnostics));
    // SDL has one sound device per process: a second track cannot open it meanwhile.
    {
        OrvMusic other;
        EXPECT_FALSE(other.Load(path, diagnostics));
    }
    EXPECT_EQ("Could not initialize audio\n", diagnostics.Text());
    music.Play(0);
    ASSERT_TRUE(first.WaitForSound(4410));

    // The engine quits SDL before it releases the music.
    SDL_Quit();
    music.SetPosition(1000);
    music.Stop();
    music.Play(0);
    size_t before = OrvMusicSoundFrames(first.Samples());

    // Loading again starts SDL's audio afresh and plays the new capture's file.
    OrvMusicCapture second(folder.Root(), "second.raw");
    ASSERT_TRUE(music.Load(path, diagnostics));
    music.SetPosition(1000);
    music.Play(0);
    ASSERT_TRUE(second.WaitForSound(4410));
    EXPECT_EQ(before, OrvMusicSoundFrames(first.Samples())); // the old device is gone
    SDL_Quit();
    EXPECT_EQ("Could not initialize audio\n", diagnostics.Text());

    int stray = 0;
    std::vector<OrvMusicSegment> segments = OrvMusicRampSegments(second.Samples(), stray);
    EXPECT_EQ(0, stray);
    ASSERT_GE(segments.size(), 1u);
    EXPECT_EQ(44100, segments[0].first);
}
