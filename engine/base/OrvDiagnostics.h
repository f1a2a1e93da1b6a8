#ifndef ORV_BASE_ORVDIAGNOSTICS_H
#define ORV_BASE_ORVDIAGNOSTICS_H

// What went wrong, one record per message: severity, the file and line it is about (when the
// reporter knows them) and the text. Whoever starts a piece of work (a run, a check, a reload
// attempt) owns one and passes it down to everything that may report; nothing looks it up.
//
// Severity 1 is an error, 0 a warning that does not count as an error. Text() is the log the
// user is shown: every message's text and a newline, in the order reported (a record's file
// and line are not part of it). It holds at most MaxBytes: the message that would pass the
// limit is replaced by TruncatedLine, and later messages only raise the severity and are not
// kept. A listener, when set, hears of every message as it is reported, before the limit.
// Main thread only; never copied.

#include <cstddef>
#include <string>
#include <vector>

class IOrvErrorListener;

class OrvDiagnostics {
public:
    static const std::size_t MaxBytes = 1 << 20;
    static const char* const TruncatedLine;

    struct Record {
        int severity;
        std::string file; // "" when the reporter does not know it
        int line;         // 1-based; 0 when not known
        std::string text;
    };

    OrvDiagnostics();
    OrvDiagnostics(const OrvDiagnostics&) = delete;
    OrvDiagnostics& operator=(const OrvDiagnostics&) = delete;

    void Report(int severity, const std::string& text);
    void Report(int severity, const std::string& file, int line, const std::string& text);

    // True when the highest severity reported so far is above 0.
    bool HasError() const { return highestSeverity > 0; }
    // Highest severity so far; -1 before anything was reported.
    int HighestSeverity() const { return highestSeverity; }
    // True once the log has reached its limit and keeps no more.
    bool Full() const { return truncated; }
    // Every message's text, one a line; the pointer of Text().c_str() stays valid until the
    // next report.
    const std::string& Text() const { return text; }
    // The kept records, in the order reported.
    const std::vector<Record>& Records() const { return records; }
    // Appends another list's records, as if they were reported here (a finished reload's
    // messages joining the run's, say).
    void Append(const OrvDiagnostics& other);

    // Sets the one listener (null: none) and returns the one set before. Not owned.
    IOrvErrorListener* SetListener(IOrvErrorListener* listener);

private:
    std::string text;
    std::vector<Record> records;
    int highestSeverity;
    bool truncated;
    IOrvErrorListener* listener;
};

#endif
