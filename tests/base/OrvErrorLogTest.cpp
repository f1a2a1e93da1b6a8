#include "base/OrvErrorLog.h"
#include "base/IOrvErrorListener.h"
#include "entry/OrvEntryPoints.h"

#include <gtest/gtest.h>

#include <string>

TEST(OrvErrorLog, KeepsMessagesInOrderAndOnlySeverityOneCountsAsAnError) {
    // Each test runs in its own process: nothing was reported yet.
    EXPECT_EQ(0, OrvHasError());
    EXPECT_STREQ("", OrvErrorMsg());
    EXPECT_EQ(-1, OrvErrorLog::HighestSeverity());

    ReportError(0, "Could not initialize audio");
    EXPECT_EQ(0, OrvHasError()); // a warning alone is logged, but is no error
    ReportError(1, "Syntax error");
    ReportError(1, "Error on line: 0 x = 1");
    ReportError(0, "a later warning does not lower the severity");
    EXPECT_EQ(1, OrvHasError());
    EXPECT_STREQ("Could not initialize audio\nSyntax error\nError on line: 0 x = 1\n"
                 "a later warning does not lower the severity\n",
                 OrvErrorMsg());
}

TEST(OrvErrorLog, StopsGrowingAtItsLimitAndSaysSo) {
    const std::string line(999, 'x'); // 1000 bytes with its newline
    EXPECT_FALSE(OrvErrorLog::Full());
    std::size_t fitting = OrvErrorLog::MaxBytes / 1000;
    for (std::size_t i = 0; i < fitting + 5000; ++i)
        ReportError(0, line);
    EXPECT_TRUE(OrvErrorLog::Full());
    const std::string& text = OrvErrorLog::Text();
    EXPECT_LE(text.size(), OrvErrorLog::MaxBytes + 64);
    EXPECT_EQ(fitting * 1000 + std::string(OrvErrorLog::TruncatedLine).size() + 1, text.size());
    EXPECT_EQ(line + "\n" + OrvErrorLog::TruncatedLine + "\n",
              text.substr(text.size() - 1000 - std::string(OrvErrorLog::TruncatedLine).size() - 1));
    EXPECT_EQ(0, OrvHasError());
    ReportError(1, "an error past the limit still counts");
    EXPECT_EQ(1, OrvHasError());
    EXPECT_EQ(std::string::npos, OrvErrorLog::Text().find("past the limit"));

    // A listener hears of every message, also those the full log no longer keeps.
    class Listener : public IOrvErrorListener {
    public:
        void Reported(int severity, const std::string& message) override {
            heard += std::to_string(severity) + " " + message + "\n";
        }
        std::string heard;
    };
    Listener first, second;
    EXPECT_EQ(nullptr, OrvErrorLog::SetListener(&first));
    ReportError(0, "heard by the first");
    EXPECT_EQ(&first, OrvErrorLog::SetListener(&second));
    ReportError(1, "heard by the second");
    EXPECT_EQ(&second, OrvErrorLog::SetListener(nullptr));
    ReportError(1, "heard by none");
    EXPECT_EQ("0 heard by the first\n", first.heard);
    EXPECT_EQ("1 heard by the second\n", second.heard);
}
