#include "base/OrvDiagnostics.h"

#include "base/IOrvErrorListener.h"

const char* const OrvDiagnostics::TruncatedLine = "Too many messages: the rest were left out";

OrvDiagnostics::OrvDiagnostics() : highestSeverity(-1), truncated(false), listener(nullptr) {}

void OrvDiagnostics::Report(int severity, const std::string& message) {
    Report(severity, std::string(), 0, message);
}

void OrvDiagnostics::Report(int severity, const std::string& file, int line,
                            const std::string& message) {
    if (severity > highestSeverity)
        highestSeverity = severity;
    if (listener)
        listener->Reported(severity, message);
    if (truncated)
        return;
    // A loop over a broken line can report millions of times; past the limit one line says
    // so, and the log keeps what came first.
    if (text.size() + message.size() + 1 > MaxBytes) {
        text += TruncatedLine;
        text += '\n';
        records.push_back(Record{severity, std::string(), 0, TruncatedLine});
        truncated = true;
        return;
    }
    text += message;
    text += '\n';
    records.push_back(Record{severity, file, line, message});
}

void OrvDiagnostics::Append(const OrvDiagnostics& other) {
    // A copy: appending a list to itself must not walk records that the walk adds.
    const std::vector<Record> appended = other.records;
    for (const Record& record : appended)
        Report(record.severity, record.file, record.line, record.text);
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
