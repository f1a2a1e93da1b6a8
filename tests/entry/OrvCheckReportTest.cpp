// The text a script check prints: where each message belongs, in line order, each once.

#include "entry/OrvCheckReport.h"

#include <gtest/gtest.h>

#include <string>

TEST(OrvCheckReport, ListsByLineWithThePrefixOnTheFirstLineOfEachMessage) {
    OrvCheckReport report;
    EXPECT_TRUE(report.IsEmpty());
    EXPECT_EQ("", report.Text());
    report.Add(12, 1, "Unknown parameter: box.z\nDid you mean:\n\nbox.x");
    report.Add(12, 1, "Error on line: 0 box.z = 1");
    report.AddForFile("splash.jpg", 1, "Unable to load graphics: why");
    report.Warn(3, "block \"a\" is never closed");
    report.Add(0, 1, "Missing block: script");
    report.Add(120, 0, "Warning: Initial value not applied");
    report.AddForFile("loading.jpg", 1, "Could not load image file: loading.jpg");
    // Lines, then the script as a whole first; other files last in the order they came.
    EXPECT_EQ("script.txt: Missing block: script\n"
              "script.txt:3: warning: block \"a\" is never closed\n"
              "script.txt:12: Unknown parameter: box.z\nDid you mean:\n\nbox.x\n"
              "script.txt:12: Error on line: 0 box.z = 1\n"
              "script.txt:120: Warning: Initial value not applied\n"
              "splash.jpg: Unable to load graphics: why\n"
              "loading.jpg: Could not load image file: loading.jpg\n",
              report.Text());
    EXPECT_TRUE(report.HasError());
}

TEST(OrvCheckReport, RepeatsAreListedOnceAndWarningsAreNoErrors) {
    OrvCheckReport report;
    for (int round = 0; round < 3; ++round) {
        report.Add(7, 0, "Warning: again");
        report.Warn(7, "object \"a\" is never enabled");
    }
    report.Add(8, 0, "Warning: again"); // another line: listed again
    EXPECT_EQ("script.txt:7: Warning: again\n"
              "script.txt:7: warning: object \"a\" is never enabled\n"
              "script.txt:8: Warning: again\n",
              report.Text());
    EXPECT_FALSE(report.HasError());
    EXPECT_FALSE(report.IsEmpty());
}

TEST(OrvCheckReport, StopsGrowingAtItsLimitButStillCountsErrors) {
    OrvCheckReport report;
    const std::string message(1000, 'x');
    for (int line = 1; line < 3000; ++line)
        report.Add(line, 0, message);
    report.Add(5000, 1, "an error past the limit");
    std::string text = report.Text();
    EXPECT_LE(text.size(), OrvCheckReport::MaxBytes + 100);
    EXPECT_GT(text.size(), OrvCheckReport::MaxBytes / 2);
    EXPECT_EQ(std::string::npos, text.find("past the limit"));
    const std::string last = "script.txt: Too many messages: the rest were left out\n";
    ASSERT_GT(text.size(), last.size());
    EXPECT_EQ(last, text.substr(text.size() - last.size()));
    EXPECT_TRUE(report.HasError());
}

TEST(OrvCheckReport, MessagesAboutAFileAreListedBesideTheLineThatUsesIt) {
    OrvCheckReport report;
    report.Add(9, 1, "Could not load image file: gone.png");
    report.Add(7, 1, "Shader compiling failed: sky.shader");
    report.AddBeside(7, "sky.shader", 12, 1, "error: syntax error");
    report.AddBeside(7, "sky.shader", 3, 1, "error: `x' undeclared"); // the log's order
    report.AddForFile("splash.jpg", 1, "Unable to load graphics: why");
    report.Add(7, 1, "Shader compiling failed: glow.frag");
    report.AddBeside(7, "glow.frag", 2, 1, "error: again");
    report.AddBeside(8, "sky.shader", 12, 1, "error: syntax error"); // once, where it came first
    report.Add(0, 1, "Missing block: script");
    EXPECT_EQ("script.txt: Missing block: script\n"
              "script.txt:7: Shader compiling failed: sky.shader\n"
              "sky.shader:12: error: syntax error\n"
              "sky.shader:3: error: `x' undeclared\n"
              "script.txt:7: Shader compiling failed: glow.frag\n"
              "glow.frag:2: error: again\n"
              "script.txt:9: Could not load image file: gone.png\n"
              "splash.jpg: Unable to load graphics: why\n",
              report.Text());

    // Its severity counts like any other's.
    OrvCheckReport beside;
    beside.AddBeside(3, "a.frag", 1, 1, "error: x");
    EXPECT_TRUE(beside.HasError());
    EXPECT_EQ("a.frag:1: error: x\n", beside.Text());
}
