// Follow items on the timeline: "T name = follow SOURCE [* a] [+ b]" makes a parameter the
// source's value times a plus b from T until the parameter's next item, the same whichever way
// the position got there; broken lines say what is wrong, a misspelt source with suggestions.

#include "script/OrvAsciiScriptLoader.h"

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterManager.h"
#include "animation/OrvSampledCurve.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/OrvScriptTestText.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {
class Values : public OrvParameterInterface {
public:
    std::string ParameterName(int index) override {
        const char* names[] = {"a", "b", "c"};
        return index >= 0 && index < 3 ? names[index] : "";
    }
    void UpdateParameter(int index, double value) override { values[index] = value; }
    double values[3] = {NAN, NAN, NAN};
};

// A script run with two follow sources: a ramp (the position in seconds, sampled every 10 ms)
// and a square wave between 0 and 1 that changes every 100 ms.
struct FollowRun {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader{diagnostics};
    OrvRandom random;
    OrvParameterManager parameters{diagnostics, random};
    Values box;
    OrvSampledCurve ramp;
    OrvSampledCurve square;
    bool processed = false;

    explicit FollowRun(const std::string& lines, const std::string& header = "  bpm: 120\n") {
        std::vector<float> rampSamples(2001), squareSamples(2001);
        for (size_t i = 0; i < rampSamples.size(); ++i) {
            rampSamples[i] = float(i) / 100;
            squareSamples[i] = float((i / 10) % 2);
        }
        ramp.Assign(rampSamples, 10);
        square.Assign(squareSamples, 10);
        parameters.AddInterface("box", box);
        parameters.AddFollowSource("music.ramp", ramp);
        parameters.AddFollowSource("music.square", square);
        std::string path = folder.WriteData("script.txt", OrvScriptWith(header, lines, ""));
        EXPECT_TRUE(loader.Load(path.c_str()));
        processed = loader.ProcessScript(parameters);
        parameters.RememberLoadedValues();
    }
    double At(int index, unsigned position) {
        box.values[index] = NAN;
        parameters.UpdateParameters(position);
        return box.values[index];
    }
};
} // namespace

TEST(OrvTimelineFollow, TheFourFormsUntilTheNextItemWhicheverWayThePositionCame) {
    FollowRun run("1 box.a = follow music.ramp\n"
                  "2 box.a = follow music.ramp * 2\n"
                  "3 box.a = follow music.ramp + -1\n"
                  "4 box.a = follow music.ramp * 0.5 + 0.25\n"
                  "5 box.a = 9\n"
                  "@1 box.b = follow music.square * 0.5 + 0.2\n"
                  "0 box.c = 0 to 1 in 1\n"
                  "1 box.c = follow music.square\n");
    EXPECT_TRUE(run.processed) << run.diagnostics.Text();
    EXPECT_EQ("", run.diagnostics.Text());
    EXPECT_TRUE(std::isnan(run.At(0, 999))) << "nothing before the first item";
    EXPECT_DOUBLE_EQ(1.0, run.At(0, 1000));
    EXPECT_NEAR(1.505, run.At(0, 1505), 1e-6) << "interpolated between the samples";
    EXPECT_DOUBLE_EQ(4.0, run.At(0, 2000));
    EXPECT_DOUBLE_EQ(2.5, run.At(0, 3500));
    EXPECT_DOUBLE_EQ(0.5 * 4.75 + 0.25, run.At(0, 4750));
    EXPECT_DOUBLE_EQ(9.0, run.At(0, 5000)) << "the next item takes over";
    // "@1" is the first beat of bar 1 at 120 bpm: 2 s. The square is 0 from 2.0 s, 1 from 2.1 s.
    EXPECT_DOUBLE_EQ(0.2, run.At(1, 2050));
    EXPECT_DOUBLE_EQ(0.7, run.At(1, 2150));
    // A fade, then a follow from its end.
    EXPECT_DOUBLE_EQ(0.5, run.At(2, 500));
    EXPECT_DOUBLE_EQ(1.0, run.At(2, 1150));

    // Forward at 60 frames a second, then the same positions in a shuffled order (jumps both
    // ways): the same values.
    std::vector<unsigned> positions;
    for (unsigned t = 0; t < 6000; t += 16)
        positions.push_back(t);
    std::vector<double> forward;
    for (unsigned t : positions)
        for (int p = 0; p < 3; ++p)
            forward.push_back(run.At(p, t));
    std::vector<size_t> order(positions.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (size_t i : order)
        for (int p = 0; p < 3; ++p) {
            double value = run.At(p, positions[i]);
            double want = forward[i * 3 + p];
            if (std::isnan(want))
                EXPECT_TRUE(std::isnan(value)) << positions[i];
            else
                EXPECT_EQ(want, value) << "parameter " << p << " at " << positions[i];
        }
}

// The clock as a source: seconds, beats and the phases within a beat and a bar at the header's
// bpm (120: a beat is 500 ms), and the phases' periodic shapes, with scale and offset.
TEST(OrvTimelineFollow, TheClockIsASourceToo) {
    const struct {
        const char* source;
        unsigned at;
        double value;
    } cases[] = {
        {"clock.seconds", 1250, 1.25},
        {"clock.beats", 1250, 2.5},
        {"clock.beatPhase", 1250, 0.5},
        {"clock.beatPhase", 1000, 0.0},
        {"clock.beatPhase", 1499, 0.998},
        {"clock.barPhase", 3000, 0.5}, // six beats: a bar and a half
        {"clock.barPhase", 4000, 0.0},
        {"clock.beatPhase.sine", 1250, 1.0},
        {"clock.beatPhase.sine", 1125, 0.5},
        {"clock.beatPhase.sine", 1000, 0.0},
        {"clock.barPhase.sine", 3000, 1.0},
        {"clock.beatPhase.triangle", 1125, 0.5},
        {"clock.beatPhase.triangle", 1375, 0.5},
        {"clock.barPhase.triangle", 2500, 0.5}, // five beats: a quarter into bar 1
        {"clock.barPhase.triangle", 2000, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " at " + std::to_string(c.at));
        FollowRun run(std::string("0 box.a = follow ") + c.source + " * 2 + 1\n");
        ASSERT_TRUE(run.processed) << run.diagnostics.Text();
        EXPECT_NEAR(c.value * 2 + 1, run.At(0, c.at), 1e-9);
    }
    // Without a bpm there are no beats to count; the seconds still are.
    FollowRun noBpm("0 box.a = follow clock.seconds\n1 box.b = follow clock.barPhase\n", "");
    EXPECT_FALSE(noBpm.processed);
    EXPECT_EQ("Source clock.barPhase counts beats, but the header has no bpm above 0\n"
              "Error on line: 1 box.b = follow clock.barPhase\n",
              noBpm.diagnostics.Text());
    EXPECT_DOUBLE_EQ(2.5, noBpm.At(0, 2500));
    // A misspelt clock source is offered the clock's names.
    FollowRun slip("0 box.a = follow clock.beatphase\n");
    EXPECT_NE(std::string::npos, slip.diagnostics.Text().find("Did you mean:\n\nclock.beatPhase\n"))
        << slip.diagnostics.Text();
}

TEST(OrvTimelineFollow, BrokenLinesSayWhatIsWrong) {
    struct Case {
        std::string lines;
        std::string log;
    } cases[] = {
        {"0 box.a = follow music.rmap\n",
         "Unknown source: music.rmap\nDid you mean:\n\nmusic.ramp\nmusic.square\n"
         "Error on line: 0 box.a = follow music.rmap\n"},
        {"0 box.a = follow nothing.like.it\n",
         "Unknown source: nothing.like.it\nError on line: 0 box.a = follow nothing.like.it\n"},
        {"0 box.z = follow music.ramp\n",
         "Unknown parameter: box.z\nDid you mean:\n\nbox.a\nbox.b\nbox.c\n"
         "Error on line: 0 box.z = follow music.ramp\n"},
        {"0 box.a = follow music.ramp - 1\n",
         "Expected follow SOURCE, follow SOURCE * a, follow SOURCE + b or follow SOURCE * a + b\n"
         "Error on line: 0 box.a = follow music.ramp - 1\n"},
        {"0 box.a = follow music.ramp + 1 + 2\n",
         "Expected follow SOURCE, follow SOURCE * a, follow SOURCE + b or follow SOURCE * a + b\n"
         "Error on line: 0 box.a = follow music.ramp + 1 + 2\n"},
        {"0 box.a = follow music.ramp + 1 * 2\n",
         "Syntax error\nError on line: 0 box.a = follow music.ramp + 1 * 2\n"},
        {"0 box.a = follow music.ramp * x\n",
         "Syntax error\nError on line: 0 box.a = follow music.ramp * x\n"},
        {"0 box.a = follow\n", "Syntax error\nError on line: 0 box.a = follow\n"},
    };
    for (const Case& c : cases) {
        FollowRun run(c.lines);
        EXPECT_FALSE(run.processed) << c.lines;
        EXPECT_EQ(c.log, run.diagnostics.Text()) << c.lines;
    }
}
