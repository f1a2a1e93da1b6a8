#include "base/OrvDiagnostics.h"
#include "base/IOrvErrorListener.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Listener : public IOrvErrorListener {
public:
    void Reported(const OrvDiagnostics::Record& record) override {
        heard += std::to_string(record.severity) + " " + record.text + "\n";
    }
    std::string heard;
};

} // namespace

TEST(OrvDiagnostics, KeepsMessagesInOrderAndOnlySeverityOneCountsAsAnError) {
    OrvDiagnostics diagnostics;
    // Nothing was reported yet.
    EXPECT_FALSE(diagnostics.HasError());
    EXPECT_EQ("", diagnostics.Text());
    EXPECT_TRUE(diagnostics.Records().empty());
    EXPECT_EQ(-1, diagnostics.HighestSeverity());

    diagnostics.Report(0, "Could not initialize audio");
    EXPECT_FALSE(diagnostics.HasError()); // a warning alone is logged, but is no error
    EXPECT_EQ(0, diagnostics.HighestSeverity());
    diagnostics.Report(1, "Syntax error");
    diagnostics.Report(1, "Error on line: 0 x = 1");
    diagnostics.Report(0, "a later warning does not lower the severity");
    EXPECT_TRUE(diagnostics.HasError());
    EXPECT_EQ(1, diagnostics.HighestSeverity());
    EXPECT_EQ("Could not initialize audio\nSyntax error\nError on line: 0 x = 1\n"
              "a later warning does not lower the severity\n",
              diagnostics.Text());
    // The same messages as records, in the order reported.
    const auto& records = diagnostics.Records();
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(0, records[0].severity);
    EXPECT_EQ("Could not initialize audio", records[0].text);
    EXPECT_EQ(1, records[1].severity);
    EXPECT_EQ("Syntax error", records[1].text);
    EXPECT_EQ(1, records[2].severity);
    EXPECT_EQ("Error on line: 0 x = 1", records[2].text);
    EXPECT_EQ(0, records[3].severity);
    EXPECT_EQ("a later warning does not lower the severity", records[3].text);

    // Two lists never share anything.
    OrvDiagnostics other;
    EXPECT_FALSE(other.HasError());
    EXPECT_EQ("", other.Text());
    EXPECT_EQ(-1, other.HighestSeverity());
}

TEST(OrvDiagnostics, RecordsCarryTheFileAndLineTheyAreAbout) {
    OrvDiagnostics diagnostics;
    diagnostics.Report(1, "script.txt", 12, "Syntax error");
    diagnostics.Report(0, "no file known");
    diagnostics.Report(0, "model.3ds", 0, "a file without a line");

    // The file and line are not part of the log text.
    EXPECT_EQ("Syntax error\nno file known\na file without a line\n", diagnostics.Text());
    const auto& records = diagnostics.Records();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(1, records[0].severity);
    EXPECT_EQ("script.txt", records[0].file);
    EXPECT_EQ(12, records[0].line);
    EXPECT_EQ("Syntax error", records[0].text);
    EXPECT_EQ("", records[1].file);
    EXPECT_EQ(0, records[1].line);
    EXPECT_EQ("no file known", records[1].text);
    EXPECT_EQ("model.3ds", records[2].file);
    EXPECT_EQ(0, records[2].line);
    EXPECT_TRUE(diagnostics.HasError());
}

TEST(OrvDiagnostics, AppendAddsAnotherListsRecordsAsIfReportedHere) {
    OrvDiagnostics run;
    run.Report(0, "first warning");

    OrvDiagnostics reload;
    reload.Report(1, "script.txt", 3, "Unknown object");
    reload.Report(0, "a warning of the reload");

    Listener listener;
    run.SetListener(&listener);
    run.Append(reload);
    run.SetListener(nullptr);

    EXPECT_EQ("first warning\nUnknown object\na warning of the reload\n", run.Text());
    EXPECT_TRUE(run.HasError());
    EXPECT_EQ(1, run.HighestSeverity());
    const auto& records = run.Records();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(1, records[1].severity);
    EXPECT_EQ("script.txt", records[1].file);
    EXPECT_EQ(3, records[1].line);
    EXPECT_EQ("Unknown object", records[1].text);
    EXPECT_EQ(0, records[2].severity);
    EXPECT_EQ("", records[2].file);
    EXPECT_EQ(0, records[2].line);
    // As if reported here: the listener heard of them.
    EXPECT_EQ("1 Unknown object\n0 a warning of the reload\n", listener.heard);

    // The appended list is left as it was.
    EXPECT_EQ("Unknown object\na warning of the reload\n", reload.Text());
    EXPECT_EQ(2u, reload.Records().size());

    // Appending an empty list changes nothing; a list's severity joins even when its
    // messages were not kept.
    OrvDiagnostics empty;
    run.Append(empty);
    EXPECT_EQ(3u, run.Records().size());
    EXPECT_EQ(1, run.HighestSeverity());

    OrvDiagnostics warnings;
    warnings.Report(0, "only a warning");
    OrvDiagnostics quiet;
    quiet.Append(warnings);
    EXPECT_FALSE(quiet.HasError());
    EXPECT_EQ(0, quiet.HighestSeverity());
    EXPECT_EQ("only a warning\n", quiet.Text());
}

TEST(OrvDiagnostics, StopsGrowingAtItsLimitAndSaysSo) {
    OrvDiagnostics diagnostics;
    const std::string line(999, 'x'); // 1000 bytes with its newline
    EXPECT_FALSE(diagnostics.Full());
    std::size_t fitting = OrvDiagnostics::MaxBytes / 1000;
    for (std::size_t i = 0; i < fitting + 5000; ++i)
        diagnostics.Report(0, line);
    EXPECT_TRUE(diagnostics.Full());
    const std::string& text = diagnostics.Text();
    EXPECT_LE(text.size(), OrvDiagnostics::MaxBytes + 64);
    EXPECT_EQ(fitting * 1000 + std::string(OrvDiagnostics::TruncatedLine).size() + 1, text.size());
    EXPECT_EQ(
        line + "\n" + OrvDiagnostics::TruncatedLine + "\n",
        text.substr(text.size() - 1000 - std::string(OrvDiagnostics::TruncatedLine).size() - 1));
    // The records end the same way: the kept messages, then the truncation line.
    const auto& records = diagnostics.Records();
    ASSERT_EQ(fitting + 1, records.size());
    EXPECT_EQ(line, records[fitting - 1].text);
    EXPECT_EQ(OrvDiagnostics::TruncatedLine, records[fitting].text);
    EXPECT_FALSE(diagnostics.HasError());
    diagnostics.Report(1, "an error past the limit still counts");
    EXPECT_TRUE(diagnostics.HasError());
    EXPECT_EQ(std::string::npos, diagnostics.Text().find("past the limit"));
    EXPECT_EQ(fitting + 1, diagnostics.Records().size());

    // A listener hears of every message, also those the full log no longer keeps.
    Listener first, second;
    EXPECT_EQ(nullptr, diagnostics.SetListener(&first));
    diagnostics.Report(0, "heard by the first");
    EXPECT_EQ(&first, diagnostics.SetListener(&second));
    diagnostics.Report(1, "heard by the second");
    EXPECT_EQ(&second, diagnostics.SetListener(nullptr));
    diagnostics.Report(1, "heard by none");
    EXPECT_EQ("0 heard by the first\n", first.heard);
    EXPECT_EQ("1 heard by the second\n", second.heard);
}

TEST(OrvDiagnostics, ListenerHearsMessagesOfItsOwnListOnly) {
    OrvDiagnostics one, two;
    Listener listener;
    EXPECT_EQ(nullptr, one.SetListener(&listener));
    one.Report(0, "to one");
    two.Report(1, "to two");
    EXPECT_EQ("0 to one\n", listener.heard);
    EXPECT_EQ(nullptr, two.SetListener(nullptr));
    EXPECT_EQ(&listener, one.SetListener(nullptr));
}
