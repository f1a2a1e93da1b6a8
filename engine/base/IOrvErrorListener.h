#ifndef ORV_BASE_IORVERRORLISTENER_H
#define ORV_BASE_IORVERRORLISTENER_H

// Hears of every message reported to the diagnostics it is set on, the whole record (severity,
// kind, subject, place, text), at the moment it is reported (before the log's own size limit
// applies). A script checker uses it to put each message beside the script line it is about.
//
// The log only calls it; it never owns or deletes a listener. Main thread only.

#include "base/OrvDiagnostics.h"

class IOrvErrorListener {
public:
    virtual void Reported(const OrvDiagnostics::Record& record) = 0;

protected:
    ~IOrvErrorListener() {}
};

#endif
