// The debug overlay's few lines: the first error first, every message whole and wrapped, and
// how many more there are when they do not all fit.

#include "base/OrvMessageLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
OrvDiagnostics::Record At(int severity, int line, const std::string& text) {
    return OrvDiagnostics::Record{severity, line > 0 ? "script.txt" : "", line,
                                  text,     OrvMessageKind::Other,        std::string()};
}
} // namespace

TEST(OrvMessageLayout, TheFirstErrorFirstWholeAndWrappedThenHowManyMore) {
    const std::string unknown = "Unknown parameter: box.z\nDid you mean:\n\nbox.x\nbox.y";
    const struct {
        const char* what;
        std::vector<OrvDiagnostics::Record> messages;
        int maxLines;
        int maxColumns;
        std::vector<std::string> lines;
    } cases[] = {
        {"a warning before the error goes after it",
         {At(0, 3, "Unknown header key: bmp"), At(1, 14, "Syntax error")},
         8,
         40,
         {"script.txt:14: Syntax error", "script.txt:3: Unknown header key: bmp"}},
        {"a long line wraps after its last space that fits, the rest indented",
         {At(1, 9, "Could not load image file: a-rather-long-name.png")},
         8,
         30,
         {"script.txt:9: Could not load", "  image file:", "  a-rather-long-name.png"}},
        {"a word longer than the line is cut inside it",
         {At(1, 0, "abcdefghijklmnopqrstuvwxyz")},
         8,
         10,
         {"abcdefghij", "  klmnopqr", "  stuvwxyz"}},
        {"the list of similar names stays whole, then how many more",
         {At(1, 13, unknown), At(1, 13, "Error on line: 0 box.z = 1"), At(1, 0, "Errors")},
         6,
         60,
         {"script.txt:13: Unknown parameter: box.z", "Did you mean:", "", "box.x", "box.y",
          "... and 2 more (the whole list is on standard error)"}},
        {"what fits exactly needs no count",
         {At(1, 1, "one"), At(1, 2, "two")},
         2,
         60,
         {"script.txt:1: one", "script.txt:2: two"}},
        {"a first message longer than the box shows what fits of it",
         {At(1, 5, "a\nb\nc\nd\ne"), At(0, 6, "later")},
         3,
         60,
         {"script.txt:5: a", "b", "... and 1 more (the whole list is on standard error)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.lines, OrvMessageLayout::Lines(c.messages, c.maxLines, c.maxColumns));
    }
}
