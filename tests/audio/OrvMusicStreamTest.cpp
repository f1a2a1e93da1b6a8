#include "audio/OrvAudioStream.h"
#include "support/OrvMusicTestAudio.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

// The decoding side alone, without a sound device: what Fill() produces, frame by frame.

namespace {

constexpr int WavFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// Ramp index of every frame of an interleaved stereo block; -2 for silence.
std::vector<int> Indices(const std::vector<int16_t>& block) {
    std::vector<int> indices;
    for (size_t i = 0; i + 1 < block.size(); i += 2)
        indices.push_back(
            block[i] == 0 && block[i + 1] == 0 ? -2 : OrvMusicRampIndex(block[i], block[i + 1]));
    return indices;
}

std::vector<int16_t> Fill(OrvAudioStream& stream, int frames) {
    std::vector<int16_t> block(size_t(frames) * 2, 12345); // garbage that Fill must overwrite
    stream.Fill(block.data(), frames);
    return block;
}

// Frames of sound the stream gives before it reports its end, one frame per Fill().
int PlayedFrames(OrvAudioStream& stream, int limit) {
    int frames = 0;
    int16_t frame[2];
    while (frames < limit) {
        stream.Fill(frame, 1);
        if (stream.Ended())
            break;
        ++frames;
    }
    return frames;
}

} // namespace

TEST(OrvMusicStream, FillsWholeFramesAcrossReadsAndSeeks) {
    OrvTestFolder folder;
    // Three channels: the ramp in the first two, noise in the third that must not leak in.
    const int frames = 3 * 44100;
    std::vector<int16_t> ramp = OrvMusicRamp(frames);
    std::vector<int16_t> three(size_t(frames) * 3);
    for (int i = 0; i < frames; ++i) {
        three[3 * size_t(i)] = ramp[2 * size_t(i)];
        three[3 * size_t(i) + 1] = ramp[2 * size_t(i) + 1];
        three[3 * size_t(i) + 2] = int16_t(i * 7919);
    }
    std::string path = folder.DataPath("three.wav");
    ASSERT_TRUE(OrvMusicWriteAudio(path, WavFormat, 44100, 3, three));

    OrvAudioStream stream;
    ASSERT_TRUE(stream.Open(path));
    EXPECT_EQ(44100, stream.SourceRate());
    EXPECT_EQ(3, stream.SourceChannels());

    // Odd piece sizes that straddle the decoder's reads still give consecutive frames.
    int next = 0;
    for (int piece : {1, 999, 3000, 7, 1024, 2049}) {
        std::vector<int> indices = Indices(Fill(stream, piece));
        for (int index : indices)
            ASSERT_EQ(next++, index);
    }
    EXPECT_EQ(uint64_t(next) * 4, stream.Position());

    stream.Seek(7); // inside frame 1: down to its start
    EXPECT_EQ(4u, stream.Position());
    EXPECT_EQ(1, Indices(Fill(stream, 1))[0]);
    stream.Seek(OrvAudioStream::SecondsToBytes(2.0));
    EXPECT_EQ(88200, Indices(Fill(stream, 1))[0]);

    // Ten frames before the end: those ten, then silence, and the stream says it ended.
    stream.Seek(uint64_t(frames - 10) * 4);
    std::vector<int> tail = Indices(Fill(stream, 100));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(frames - 10 + i, tail[size_t(i)]);
    for (int i = 10; i < 100; ++i)
        EXPECT_EQ(-2, tail[size_t(i)]);
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(uint64_t(frames + 90) * 4, stream.Position());

    stream.Seek(OrvAudioStream::SecondsToBytes(3600.0)); // far past the end
    EXPECT_TRUE(stream.Ended());
    EXPECT_EQ(-2, Indices(Fill(stream, 1))[0]);
    stream.Seek(0); // a seek back revives it
    EXPECT_FALSE(stream.Ended());
    EXPECT_EQ(0, Indices(Fill(stream, 1))[0]);

    stream.Close();
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(-2, Indices(Fill(stream, 3))[2]);
    stream.Seek(400); // harmless with nothing open
    EXPECT_EQ(0, stream.SourceRate());
}

TEST(OrvMusicStream, ResampledTracksKeepTheirLengthAndMonoFillsBothSides) {
    OrvTestFolder folder;
    std::string mono = folder.DataPath("mono.wav");
    ASSERT_TRUE(OrvMusicWriteAudio(mono, WavFormat, 22050, 1,
                                   OrvMusicSine(2 * 22050, 22050, 1, 441.0, 0.3, 0.5)));
    std::string high = folder.DataPath("high.wav");
    ASSERT_TRUE(OrvMusicWriteAudio(high, WavFormat, 48000, 2,
                                   OrvMusicSine(48000, 48000, 2, 441.0, 0.3, 0.5)));

    OrvAudioStream stream;
    ASSERT_TRUE(stream.Open(mono));
    EXPECT_EQ(22050, stream.SourceRate());
    EXPECT_EQ(1, stream.SourceChannels());
    std::vector<int16_t> block = Fill(stream, 5000);
    for (size_t i = 0; i < block.size(); i += 2)
        ASSERT_EQ(block[i], block[i + 1]) << i;
    stream.Seek(0);
    EXPECT_NEAR(2 * 44100, PlayedFrames(stream, 200000), 2); // two seconds, not one or four

    ASSERT_TRUE(stream.Open(high)); // replaces the mono file
    EXPECT_EQ(48000, stream.SourceRate());
    EXPECT_NEAR(44100, PlayedFrames(stream, 200000), 2);
    stream.Seek(OrvAudioStream::SecondsToBytes(0.5));
    EXPECT_NEAR(22050, PlayedFrames(stream, 200000), 2);

    // A failed open leaves nothing open, not the previous file.
    folder.WriteData("notes.wav", "plain text\n");
    EXPECT_FALSE(stream.Open(folder.DataPath("notes.wav")));
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_FALSE(stream.Open(folder.DataPath("missing.wav")));
}
