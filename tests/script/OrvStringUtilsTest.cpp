#include "script/OrvStringUtils.h"

#include <gtest/gtest.h>

namespace {
const std::string ScriptSeparators = " \t\n";

std::deque<std::string> Words(std::initializer_list<const char*> words) {
    return std::deque<std::string>(words.begin(), words.end());
}
} // namespace

TEST(OrvStringUtils, ChopTrimsSpacesTabsAndLineFeedsButNotCarriageReturns) {
    std::string text = "\t a b \n";
    OrvStringUtils::Chop(text);
    EXPECT_EQ("a b", text);
    text = "line\r";
    OrvStringUtils::Chop(text);
    EXPECT_EQ("line\r", text);
    text = " \t\n ";
    OrvStringUtils::Chop(text);
    EXPECT_EQ("", text);
}

TEST(OrvStringUtils, SplitDropsEmptyPieces) {
    EXPECT_TRUE(OrvStringUtils::Split("", ".").empty());
    EXPECT_EQ(Words({"1", "2"}), OrvStringUtils::Split(".1..2.", "."));
    EXPECT_EQ(Words({"a", "b", "c"}), OrvStringUtils::Split("a b\tc", ScriptSeparators));
}

TEST(OrvStringUtils, SmartSplitFollowsTheTokeniserTable) {
    EXPECT_EQ(Words({"pos", "1", "2", "3"}),
              OrvStringUtils::SmartSplit("pos(1, 2, 3)", ScriptSeparators));
    EXPECT_EQ(Words({"say", "hello, world"}),
              OrvStringUtils::SmartSplit("say \"hello, world\" # note", ScriptSeparators));
    EXPECT_EQ(Words({"ab cd"}), OrvStringUtils::SmartSplit("a\"b c\"d", ScriptSeparators));
    EXPECT_EQ(Words({"a#b", "c"}), OrvStringUtils::SmartSplit("a\\#b c", ScriptSeparators));
    EXPECT_EQ(Words({"x\"y"}), OrvStringUtils::SmartSplit("\"x\\\"y\"", ScriptSeparators));
    EXPECT_TRUE(OrvStringUtils::SmartSplit("\"\"", ScriptSeparators).empty());
    EXPECT_TRUE(OrvStringUtils::SmartSplit("# comment only", ScriptSeparators).empty());
}

TEST(OrvStringUtils, SmartSplitEscapesAndQuotedSpecials) {
    // \n becomes a line feed inside and outside quotes; \t a tab; others stay themselves.
    EXPECT_EQ(Words({"a\nb"}), OrvStringUtils::SmartSplit("a\\nb", ScriptSeparators));
    EXPECT_EQ(Words({"a\nb c"}), OrvStringUtils::SmartSplit("\"a\\nb c\"", ScriptSeparators));
    EXPECT_EQ(Words({"\tq"}), OrvStringUtils::SmartSplit("\\t\\q", ScriptSeparators));
    // Inside quotes "#", parentheses and commas are literal.
    EXPECT_EQ(Words({"f(a,#b)"}), OrvStringUtils::SmartSplit("\"f(a,#b)\"", ScriptSeparators));
    // An escape does not protect a separator; it applies to the next ordinary character.
    EXPECT_EQ(Words({"a", "b"}), OrvStringUtils::SmartSplit("a\\ b", ScriptSeparators));
    EXPECT_EQ(Words({"a", "\n"}), OrvStringUtils::SmartSplit("a\\ n", ScriptSeparators));
    EXPECT_EQ(Words({"a", "\n"}), OrvStringUtils::SmartSplit("a\\ \\n", ScriptSeparators));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(Words({"open quote # kept"}),
              OrvStringUtils::SmartSplit("\"open quote # kept", ScriptSeparators));
}

TEST(OrvStringUtils, JoinPutsTheSeparatorOnlyBetweenParts) {
    EXPECT_EQ("", OrvStringUtils::Join(Words({}), " "));
    EXPECT_EQ("one", OrvStringUtils::Join(Words({"one"}), ", "));
    EXPECT_EQ("a, b, c", OrvStringUtils::Join(Words({"a", "b", "c"}), ", "));
}
