#ifndef ORV_BASE_ORVDIAGNOSTICS_H
#define ORV_BASE_ORVDIAGNOSTICS_H

// What went wrong, one record per message: severity, what kind of message it is and what it
// is about (OrvMessageKind, its subject: the key, parameter, object or file), the file and line
// it is about (when the reporter knows them) and the text. Whoever starts a piece of work (a run, a
// check, a reload attempt) owns one and passes it down to everything that may report; nothing looks
// it up.
//
// Severity 1 is an error, 0 a warning that does not count as an error. Log() is what the user
// is shown (the launcher's dialog, standard error, the debug overlay): every message's text
// and a newline, in the order reported, each after its place when it has one
// ("script.txt:12: ", "script.txt: "; see Placed). Text() is the same without the places. It holds
// at most MaxBytes: the message that would pass the limit is replaced by TruncatedLine, and later
// messages only raise the severity and are not kept. A listener, when set, hears of every message
// as it is reported, before the limit. Main thread only; never copied.

#include "base/OrvMessageKind.h"

#include <cstddef>
#include <string>
#include <vector>

class IOrvErrorListener;

class OrvDiagnostics {
public:
    static const std::size_t MaxBytes = 1 << 20;
    static const char* const TruncatedLine;
    // How records about the show's script name its file.
    static const char* const ScriptFile;

    struct Record {
        int severity;
        std::string file; // "" when the reporter does not know it
        int line;         // 1-based; 0 when not known
        std::string text;
        OrvMessageKind kind = OrvMessageKind::Other;
        std::string subject; // what the message is about; "" when nothing in particular
    };

    // The record's text after its place: "file:line: text", "file: text", or the text alone.
    static std::string Placed(const Record& record);

    // Where the work being done stands: a record reported without a file of its own gets
    // this one's. Whoever knows the place (the timeline at its line, the object manager at
    // an object's) sets it around the work with a ScopedPlace, so what the layers below
    // report (the parameter manager's, the texture manager's) lands there too.
    struct Place {
        std::string file;
        int line;
    };
    class ScopedPlace {
    public:
        ScopedPlace(OrvDiagnostics& diagnostics, const std::string& file, int line);
        ~ScopedPlace();
        ScopedPlace(const ScopedPlace&) = delete;
        ScopedPlace& operator=(const ScopedPlace&) = delete;

    private:
        OrvDiagnostics& diagnostics;
        Place previous;
    };
    const Place& CurrentPlace() const { return place; }

    // While one lives, messages only raise the severity and are counted: they are neither
    // kept nor heard by the listener (the later rounds of a loop whose body failed, which
    // would repeat the first round's messages). Nests.
    class ScopedMute {
    public:
        explicit ScopedMute(OrvDiagnostics& diagnostics);
        ~ScopedMute();
        ScopedMute(const ScopedMute&) = delete;
        ScopedMute& operator=(const ScopedMute&) = delete;

    private:
        OrvDiagnostics& diagnostics;
    };
    // True while muted or full: nothing reported now is read, so it need not be worked out
    // (a list of similar names, say).
    bool Unread() const { return truncated || muted > 0; }
    // How many messages were muted so far.
    long long MutedCount() const { return mutedCount; }

    OrvDiagnostics();
    OrvDiagnostics(const OrvDiagnostics&) = delete;
    OrvDiagnostics& operator=(const OrvDiagnostics&) = delete;

    void Report(int severity, const std::string& text);
    void Report(int severity, const std::string& file, int line, const std::string& text);
    // A message of a kind, about `subject`, at a place (file "" and line 0 when not known).
    void Report(int severity, OrvMessageKind kind, const std::string& subject,
                const std::string& text, const std::string& file = std::string(), int line = 0);
    void Report(const Record& record);

    // True when the highest severity reported so far is above 0.
    bool HasError() const { return highestSeverity > 0; }
    // Highest severity so far; -1 before anything was reported.
    int HighestSeverity() const { return highestSeverity; }
    // True once the log has reached its limit and keeps no more.
    bool Full() const { return truncated; }
    // Every message's text, one a line; the pointer of Text().c_str() stays valid until the
    // next report.
    const std::string& Text() const { return text; }
    // The same, each message after its place; what the user is shown. Valid likewise.
    const std::string& Log() const { return log; }
    // The kept records, in the order reported.
    const std::vector<Record>& Records() const { return records; }
    // Appends another list's records, as if they were reported here (a finished reload's
    // messages joining the run's, say).
    void Append(const OrvDiagnostics& other);

    // Sets the one listener (null: none) and returns the one set before. Not owned.
    IOrvErrorListener* SetListener(IOrvErrorListener* listener);

private:
    std::string text;
    std::string log;
    std::vector<Record> records;
    Place place;
    int muted;
    long long mutedCount;
    int highestSeverity;
    bool truncated;
    IOrvErrorListener* listener;
};

#endif
