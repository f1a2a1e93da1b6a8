#include "base/OrvDiagnostics.h"

#include "base/IOrvErrorListener.h"

const char* const OrvDiagnostics::TruncatedLine = "Too many messages: the rest were left out";
const char* const OrvDiagnostics::ScriptFile = "script.txt";

OrvDiagnostics::OrvDiagnostics()
    : place{std::string(), 0}, muted(0), mutedCount(0), highestSeverity(-1), truncated(false),
      listener(nullptr) {}

OrvDiagnostics::ScopedMute::ScopedMute(OrvDiagnostics& diagnostics) : diagnostics(diagnostics) {
    ++diagnostics.muted;
}

OrvDiagnostics::ScopedMute::~ScopedMute() {
    --diagnostics.muted;
}

OrvDiagnostics::ScopedPlace::ScopedPlace(OrvDiagnostics& diagnostics, const std::string& file,
                                         int line)
    : diagnostics(diagnostics), previous(diagnostics.place) {
    diagnostics.place = Place{file, line};
}

OrvDiagnostics::ScopedPlace::~ScopedPlace() {
    diagnostics.place = previous;
}

void OrvDiagnostics::Report(int severity, const std::string& message) {
    Report(severity, std::string(), 0, message);
}

void OrvDiagnostics::Report(int severity, const std::string& file, int line,
                            const std::string& message) {
    Report(Record{severity, file, line, message, OrvMessageKind::Other, std::string()});
}

void OrvDiagnostics::Report(int severity, OrvMessageKind kind, const std::string& subject,
                            const std::string& message, const std::string& file, int line) {
    Report(Record{severity, file, line, message, kind, subject});
}

std::string OrvDiagnostics::Placed(const Record& record) {
    if (record.file.empty())
        return record.text;
    std::string place = record.file + ":";
    if (record.line > 0)
        place += std::to_string(record.line) + ":";
    return place + " " + record.text;
}

void OrvDiagnostics::Report(const Record& reported) {
    Record record = reported;
    if (record.file.empty() && !place.file.empty()) {
        record.file = place.file;
        record.line = place.line;
    }
    if (record.severity > highestSeverity)
        highestSeverity = record.severity;
    if (muted > 0) {
        ++mutedCount;
        return;
    }
    if (listener)
        listener->Reported(record);
    if (truncated)
        return;
    // A loop over a broken line can report millions of times; past the limit one line says
    // so, and the log keeps what came first.
    std::string shown = Placed(record);
    if (log.size() + shown.size() + 1 > MaxBytes) {
        text += TruncatedLine;
        text += '\n';
        log += TruncatedLine;
        log += '\n';
        records.push_back(Record{record.severity, std::string(), 0, TruncatedLine,
                                 OrvMessageKind::Other, std::string()});
        truncated = true;
        return;
    }
    text += record.text;
    text += '\n';
    log += shown;
    log += '\n';
    records.push_back(record);
}

void OrvDiagnostics::Append(const OrvDiagnostics& other) {
    // A copy: appending a list to itself must not walk records that the walk adds.
    const std::vector<Record> appended = other.records;
    for (const Record& record : appended)
        Report(record);
    if (other.highestSeverity > highestSeverity)
        highestSeverity = other.highestSeverity;
    // The other list's last line already says the rest was left out: nothing may follow it.
    if (other.truncated)
        truncated = true;
}

IOrvErrorListener* OrvDiagnostics::SetListener(IOrvErrorListener* newListener) {
    IOrvErrorListener* previous = listener;
    listener = newListener;
    return previous;
}
