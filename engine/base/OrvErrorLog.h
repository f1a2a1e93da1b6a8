#ifndef ORV_BASE_ORVERRORLOG_H
#define ORV_BASE_ORVERRORLOG_H

// The engine's one error channel. Every loading step that fails without raising reports its
// message here; the launcher shows the whole text after the run.
//
// Severity 1 is an error, 0 a warning that is logged but does not count as an error.
// The log is never cleared: a second run in the same process appends to the first.
// It holds at most MaxBytes: the message that would pass that limit is replaced by
// TruncatedLine, and later messages only raise the severity.
// A listener, when one is set, hears of every message as well (a script check uses it).
// Main thread only; nothing is locked.

#include <cstddef>
#include <string>

class IOrvErrorListener;

class OrvErrorLog {
public:
    static const std::size_t MaxBytes = 1 << 20;
    static const char* const TruncatedLine;

    // Appends the message and a newline, and raises the highest severity if this one is higher.
    static void Report(int severity, const std::string& message);

    // True when the highest severity reported so far is above 0.
    static bool HasError();
    // True once the log has reached its limit and takes no more text.
    static bool Full();
    // Highest severity so far; -1 before anything was reported.
    static int HighestSeverity();
    // Everything reported, one message per line. The pointer of Text().c_str() stays valid
    // until the next report.
    static const std::string& Text();

    // A point of the log to return to: what a show loaded again in debug mode reports is
    // shown to the user at once, then taken back out, so the log of the run keeps describing
    // the show that plays.
    struct Mark {
        std::size_t size;
        int severity;
        bool truncated;
    };
    static Mark Here();
    // Everything reported since the mark; RollBack removes it (and its severity).
    static std::string Since(const Mark& mark);
    static void RollBack(const Mark& mark);

    // Sets the one listener (null: none) and returns the one set before, so that whoever
    // sets one can put the previous back. The log does not own it.
    static IOrvErrorListener* SetListener(IOrvErrorListener* listener);
};

// Shorthand used throughout the engine.
void ReportError(int severity, const std::string& message);

#endif
