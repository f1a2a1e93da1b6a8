// The "Did you mean" of a mistyped word: which known words count as a slip away from it.

#include "base/OrvSimilarWords.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(OrvSimilarWords, ASlipOfTheKeysIsNearAndAnotherWordIsNot) {
    const std::vector<std::string> header = {"title",  "music", "bpm",         "width",
                                             "height", "jump",  "rowsPerBeat", "sync"};
    const std::vector<std::string> classes = {"image",     "3ds", "camera",   "enviroment",
                                              "particles", "ovi", "duplicate"};
    const struct {
        const char* word;
        const std::vector<std::string>* known;
        std::vector<std::string> near;
    } cases[] = {
        {"bmp", &header, {"bpm"}},                 // two letters swapped
        {"widht", &header, {"width"}},             // swapped further on
        {"rowsperbeat", &header, {"rowsPerBeat"}}, // case counts half
        {"tittle", &header, {"title"}},            // one letter too many
        {"environment", &classes, {"enviroment"}}, // one letter the known word lacks
        {"Image", &classes, {"image"}},
        {"texture", &header, {}}, // nothing like it
        {"x", &header, {}},       // a one-letter word is near no other word
        {"bpm", &header, {}},     // a known word is not mistyped
        {"", &header, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(c.near, OrvSimilarWords::Near(c.word, *c.known));
    }
    // The nearest first, equal ones in the order given.
    EXPECT_EQ((std::vector<std::string>{"fogDensity", "fogDensity.x", "fogDensity.y"}),
              OrvSimilarWords::Near("fogDensty",
                                    {"fogDensity.x", "fogColor", "fogDensity", "fogDensity.y"}));
    std::vector<std::string> many(20, "");
    for (int i = 0; i < 20; ++i)
        many[i] = "key" + std::to_string(i % 10) + (i < 10 ? "" : "x");
    EXPECT_EQ(OrvSimilarWords::MaxWords, OrvSimilarWords::Near("key", many).size());
    EXPECT_EQ("\nDid you mean:\n\nbpm", OrvSimilarWords::Suggest("bmp", header));
    EXPECT_EQ("", OrvSimilarWords::Suggest("texture", header));
}
