#include "base/OrvErrorLog.h"

#include "base/IOrvErrorListener.h"

namespace {
// The engine-wide log: set up when the library loads, never reset.
std::string logText;
int highestSeverity = -1;
bool truncated = false;
IOrvErrorListener* listener = nullptr; // not owned
} // namespace

const char* const OrvErrorLog::TruncatedLine = "Too many messages: the rest were left out";

void OrvErrorLog::Report(int severity, const std::string& message) {
    if (severity > highestSeverity)
        highestSeverity = severity;
    if (listener)
        listener->Reported(severity, message);
    if (truncated)
        return;
    // A loop over a broken line can report millions of times; past the limit one line says
    // so, and the log keeps what came first.
    if (logText.size() + message.size() + 1 > MaxBytes) {
        logText += TruncatedLine;
        logText += '\n';
        truncated = true;
        return;
    }
    logText += message;
    logText += '\n';
}

bool OrvErrorLog::HasError() {
    return highestSeverity > 0;
}

bool OrvErrorLog::Full() {
    return truncated;
}

int OrvErrorLog::HighestSeverity() {
    return highestSeverity;
}

const std::string& OrvErrorLog::Text() {
    return logText;
}

OrvErrorLog::Mark OrvErrorLog::Here() {
    return Mark{logText.size(), highestSeverity, truncated};
}

std::string OrvErrorLog::Since(const Mark& mark) {
    return mark.size < logText.size() ? logText.substr(mark.size) : std::string();
}

void OrvErrorLog::RollBack(const Mark& mark) {
    if (mark.size < logText.size())
        logText.resize(mark.size);
    highestSeverity = mark.severity;
    truncated = mark.truncated;
}

IOrvErrorListener* OrvErrorLog::SetListener(IOrvErrorListener* newListener) {
    IOrvErrorListener* previous = listener;
    listener = newListener;
    return previous;
}

void ReportError(int severity, const std::string& message) {
    OrvErrorLog::Report(severity, message);
}
