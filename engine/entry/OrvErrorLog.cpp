#include "entry/OrvErrorLog.h"

namespace {
// The engine-wide log: set up when the library loads, never reset.
std::string logText;
int highestSeverity = -1;
} // namespace

void OrvErrorLog::Report(int severity, const std::string& message) {
    logText += message;
    logText += '\n';
    if (severity > highestSeverity)
        highestSeverity = severity;
}

bool OrvErrorLog::HasError() {
    return highestSeverity > 0;
}

int OrvErrorLog::HighestSeverity() {
    return highestSeverity;
}

const std::string& OrvErrorLog::Text() {
    return logText;
}

void ReportError(int severity, const std::string& message) {
    OrvErrorLog::Report(severity, message);
}
