// The bundled show's material, made at build time by the project's own generators: the music
// is two minutes long, has its drums on the beat and is the same on every build, and the vector
// pictures fit the buffers the script draws them into and morph between two poses of the same
// shapes.

#include "scene/OrvVectorImageFile.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string dataDir = std::string(ORV_TEST_SHOW_DIR) + "/data/";

// The show's tempo: the script's header says bpm 128 and "@64 end".
const double Bpm = 128;
const int Bars = 64;
const int Rate = 44100;

struct Sound {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
};

Sound Decode(const std::string& path) {
    Sound sound;
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_count_t read = sf_readf_float(file, sound.samples.data(), info.frames);
    sound.samples.resize(static_cast<std::size_t>(read * info.channels));
    sf_close(file);
    return sound;
}

// The mean of |left| over `seconds` from `at`.
double Level(const Sound& sound, double at, double seconds) {
    std::size_t from = static_cast<std::size_t>(at * sound.rate);
    std::size_t to = static_cast<std::size_t>((at + seconds) * sound.rate);
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += std::fabs(sound.samples[i * sound.channels]);
    return sum / static_cast<double>(to - from);
}

double BarLevel(const Sound& sound, int first, int last) {
    const double bar = 4 * 60 / Bpm;
    return Level(sound, first * bar, (last - first) * bar);
}

} // namespace

TEST(OrvShowMaterial, MusicLastsTheShowWithItsDrumsOnTheBeat) {
    Sound music = Decode(dataDir + "music.ogg");
    ASSERT_EQ(2, music.channels) << "no music.ogg in " << dataDir;
    ASSERT_EQ(Rate, music.rate);
    const double beat = 60 / Bpm;
    const double frames = static_cast<double>(music.samples.size()) / 2;
    EXPECT_NEAR(Bars * 4 * beat * Rate, frames, 2) << "the music is not 64 bars at 128 bpm";

    // In the groove (bars 8 to 32) every beat starts with a kick: the 25 ms after a beat are
    // clearly louder than the 25 ms halfway to the next one.
    int onBeat = 0, beats = 0;
    for (int b = 8 * 4; b < 32 * 4; ++b, ++beats) {
        double start = b * beat;
        if (Level(music, start, 0.025) > 1.5 * Level(music, start + beat / 2 - 0.03, 0.025))
            ++onBeat;
    }
    EXPECT_GE(onBeat, beats * 9 / 10) << onBeat << " of " << beats << " beats";

    // The sections: the drums make the groove and the drop louder than the intro and the break.
    double intro = BarLevel(music, 0, 4), groove = BarLevel(music, 8, 32);
    double pause = BarLevel(music, 32, 40), drop = BarLevel(music, 48, 60);
    EXPECT_GT(groove, 1.5 * intro);
    EXPECT_GT(groove, 1.3 * pause);
    EXPECT_GT(drop, 1.3 * pause);
    // The beat of silence before the drop: the drums stop on bar 47's last beat.
    double gap = Level(music, (47 * 4 + 3) * beat + 0.05, beat - 0.1);
    double lastBeats = Level(music, (47 * 4 + 1) * beat, 2 * beat);
    EXPECT_LT(gap, lastBeats / 2);
}

TEST(OrvShowMaterial, MusicMakerWritesTheSameSoundEveryTime) {
    OrvTestFolder folder;
    const std::string maker = ORV_MUSIC_MAKER;
    for (const char* name : {"a.wav", "b.wav"}) {
        std::string command = "'" + maker + "' '" + folder.DataPath(name) + "' 128 10";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
    }
    std::string a = OrvReadFile(folder.DataPath("a.wav"));
    std::string b = OrvReadFile(folder.DataPath("b.wav"));
    // Ten bars at 128 bpm, 16-bit stereo, and a 44-byte header.
    EXPECT_EQ(44u + 10 * 4 * 60 / 128.0 * Rate * 4, a.size());
    EXPECT_TRUE(a == b) << "two runs wrote different files";

    // Wrong arguments are refused.
    std::string bad = "'" + maker + "' '" + folder.DataPath("c.wav") + "' 0 10 2> /dev/null";
    EXPECT_NE(0, std::system(bad.c_str()));
}

TEST(OrvShowMaterial, VectorPicturesFitTheirBuffersAndMorphBetweenTwoPoses) {
    // The sizes of the buffers the script draws them into.
    struct Picture {
        const char* file;
        float size;
    };
    for (const Picture& picture :
         {Picture{"emblem.ovi", 384}, Picture{"flower.ovi", 384}, Picture{"star.ovi", 256}}) {
        SCOPED_TRACE(picture.file);
        OrvVectorImageFile file;
        ASSERT_NO_THROW(file.Load(dataDir + picture.file, picture.file));
        ASSERT_EQ(2u, file.FrameCount());
        ASSERT_GT(file.SegmentCount(), 0u);
        bool moves = false;
        float widest = 0;
        for (std::size_t f = 0; f < 2; ++f) {
            const OrvVectorImageFile::Frame& frame = file.FrameAt(f);
            float left = picture.size, top = picture.size, right = 0, bottom = 0;
            for (const OrvVectorImageFile::Segment& s : frame.segments) {
                const float xs[4] = {s.x0, s.x1, s.x2, s.x3}, ys[4] = {s.y0, s.y1, s.y2, s.y3};
                for (int k = 0; k < 4; ++k) {
                    left = std::min(left, xs[k]);
                    right = std::max(right, xs[k]);
                    top = std::min(top, ys[k]);
                    bottom = std::max(bottom, ys[k]);
                }
                // Enough points for smooth curves, far below the engine's limit of 1024.
                EXPECT_GE(s.density, 8000.0f);
                EXPECT_LE(s.density, 100000.0f);
            }
            // Inside the buffer, around its middle.
            EXPECT_GE(left, 0.0f);
            EXPECT_GE(top, 0.0f);
            EXPECT_LE(right, picture.size);
            EXPECT_LE(bottom, picture.size);
            widest = std::max(widest, right - left);
            EXPECT_NEAR((left + right) / 2, picture.size / 2, picture.size * 0.05f);
            EXPECT_NEAR((top + bottom) / 2, picture.size / 2, picture.size * 0.05f);
            for (const OrvVectorImageFile::LayerHeader& layer : frame.layers)
                EXPECT_EQ(1.0f, layer.alpha);
        }
        // At least one pose fills most of the buffer (a bud may be smaller than its bloom).
        EXPECT_GT(widest, picture.size * 0.6f);
        for (std::size_t i = 0; i < file.SegmentCount(); ++i) {
            const OrvVectorImageFile::Segment& a = file.FrameAt(0).segments[i];
            const OrvVectorImageFile::Segment& b = file.FrameAt(1).segments[i];
            moves = moves || std::fabs(a.x3 - b.x3) > 1 || std::fabs(a.y3 - b.y3) > 1;
        }
        EXPECT_TRUE(moves) << "the two poses are the same";
    }
}
