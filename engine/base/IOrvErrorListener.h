#ifndef ORV_BASE_IORVERRORLISTENER_H
#define ORV_BASE_IORVERRORLISTENER_H

// Hears of every message reported to the diagnostics it is set on, with its severity, at the
// moment it is reported (before the log's own size limit applies). A script checker uses it
// to put each message beside the script line being loaded.
//
// The log only calls it; it never owns or deletes a listener. Main thread only.

#include <string>

class IOrvErrorListener {
public:
    virtual void Reported(int severity, const std::string& message) = 0;

protected:
    ~IOrvErrorListener() {}
};

#endif
