// Times in seconds land on the millisecond their digits say, not on the one below it that
// the nearest binary fraction gives: 2.01 s is 2010 ms. Digits past the thousandths are cut
// off, as truncation always did.

#include "animation/OrvParameterInterface.h"
#include "animation/OrvParameterManager.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvRandom.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptTestText.h"
#include "script/OrvScriptTime.h"
#include "support/OrvTestFolder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

uint32_t TimeOf(const std::string& word) {
    OrvScriptTime times(500.0);
    std::string error;
    uint32_t ms = 12345678;
    EXPECT_TRUE(times.Value(word, ms, error)) << word << ": " << error;
    return ms;
}

// One parameter, "box.x", that keeps the last value it was given.
class Box : public OrvParameterInterface {
public:
    std::string ParameterName(int index) override { return index == 0 ? "x" : ""; }
    void UpdateParameter(int, double value) override { x = value; }
    double x = -1;
};

} // namespace

TEST(OrvScriptSeconds, EveryWrittenMillisecondLandsOnItself) {
    char word[64];
    for (uint32_t ms = 0; ms <= 20000; ++ms) {
        uint32_t whole = ms / 1000, part = ms % 1000;
        std::snprintf(word, sizeof word, "%u.%03u", whole, part);
        ASSERT_EQ(ms, TimeOf(word)) << word;
        // More digits that say the same, or less than a millisecond more.
        std::snprintf(word, sizeof word, "%u.%03u0", whole, part);
        ASSERT_EQ(ms, TimeOf(word)) << word;
        std::snprintf(word, sizeof word, "%u.%03u999", whole, part);
        ASSERT_EQ(ms, TimeOf(word)) << word;
        // Negative times wrap round, as ever, truncated toward zero.
        std::snprintf(word, sizeof word, "-%u.%03u5", whole, part);
        ASSERT_EQ(0u - ms, TimeOf(word)) << word;
        // The same in the header's jump, read as strtod reads a number.
        std::snprintf(word, sizeof word, "%u%03ue-3", whole, part);
        ASSERT_EQ(ms, OrvScriptTime::HeaderMilliseconds(word)) << word;
    }

    struct {
        const char* word;
        uint32_t ms;
    } cases[] = {{"2.01", 2010},
                 {"4.35", 4350},
                 {"1.0015", 1001},
                 {"2.0199999", 2019},
                 {"0.0015", 1},
                 {".5", 500},
                 {"5.", 5000},
                 {"-.5", 4294966796u},
                 {"-0.0004", 0},
                 {"0007.100", 7100},
                 {"", 0},
                 {"-", 0},
                 {".", 0},
                 {"4294967.295", 4294967295u},
                 // Past 2^32 ms a time wraps round, from its exact digits.
                 {"4294967.296", 0},
                 {"4294967.2971", 1},
                 {"12884901.889", 1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.ms, TimeOf(c.word)) << c.word;

    // Too large to be a time at all: refused, as before.
    OrvScriptTime times(500.0);
    std::string error;
    uint32_t ms = 0;
    EXPECT_FALSE(times.Value(std::string(310, '9'), ms, error));
    EXPECT_EQ("Time out of range: " + std::string(310, '9'), error);
    // Bars and beats keep their own rules: beats of 500 ms.
    EXPECT_EQ(4625u, TimeOf("@2.1.25"));
    EXPECT_EQ(4005u, TimeOf("@2.0.01"));
}

TEST(OrvScriptSeconds, HeaderJumpReadsItsLeadingNumberFromTheDigits) {
    struct {
        const char* text;
        uint32_t ms;
    } cases[] = {
        {"2.01", 2010},
        {"2.01e0", 2010},
        {"201E-2", 2010},
        {"0.201e+1", 2010},
        {"  +2.01s", 2010},
        {"30", 30000},
        {"2e", 2000},
        {"2e+", 2000},
        {"1.0015", 1001},
        {"0.0009", 0},
        {"-1", 0},
        {"-0.5", 0},
        {"later", 0},
        {"", 0},
        {"4294967.295", 4294967295u},
        {"4294967.296", 0},
        {"1e300", 0},
        {"1e-300", 0},
        {"0x10", 16000},
        {"inf", 0},
        {"NaN", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ms, OrvScriptTime::HeaderMilliseconds(c.text)) << c.text;

    // What the show reads from its header.
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader(diagnostics);
    std::string path = folder.WriteData("script.txt", OrvScriptWith("jump: 2.01 s\n", ""));
    ASSERT_TRUE(loader.Load(path.c_str()));
    EXPECT_EQ("2.01 s", loader.NumericText(IOrvScriptLoader::Jump));
    EXPECT_EQ(2010u, OrvScriptTime::HeaderMilliseconds(loader.NumericText(IOrvScriptLoader::Jump)));
    EXPECT_EQ("", loader.NumericText(IOrvScriptLoader::Bpm)); // absent
}

TEST(OrvScriptSeconds, TheTimelinePlacesItemsOnTheirWrittenMillisecond) {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvRandom random;
    OrvAsciiScriptLoader loader(diagnostics);
    Box box;
    OrvParameterManager parameters(diagnostics, random);
    parameters.AddInterface("box", box);
    std::string path = folder.WriteData(
        "script.txt",
        OrvScriptWith("bpm: 120\n", "2.01 box.x = 7\n4.35 box.x = 8\n"
                                    "5.1 loop 0.01 3 times {\n  0.29 box.x = 9\n}\n"));
    ASSERT_TRUE(loader.Load(path.c_str()));
    ASSERT_TRUE(loader.ProcessScript(parameters));
    struct {
        unsigned int at;
        double x;
    } expected[] = {{2009, -1}, {2010, 7}, {4349, 7}, {4350, 8},
                    {5389, 8},  {5390, 9}, {5400, 9}, {5410, 9}};
    for (const auto& e : expected) {
        parameters.UpdateParameters(e.at);
        EXPECT_EQ(e.x, box.x) << "at " << e.at;
    }
    const OrvParameterEnvelope& envelope = parameters.Envelope(0);
    ASSERT_EQ(5, envelope.ItemCount());
    EXPECT_EQ(5390u, envelope.Segment(2)->start);
    EXPECT_EQ(5400u, envelope.Segment(3)->start); // 5.1 + 0.01 + 0.29, each read exactly
    EXPECT_EQ(5410u, envelope.Segment(4)->start);
}
