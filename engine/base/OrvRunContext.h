#ifndef ORV_BASE_ORVRUNCONTEXT_H
#define ORV_BASE_ORVRUNCONTEXT_H

// Everything one run needs that is not the show itself: the data folder's absolute path, the
// diagnostics the run reports into, the random source and the display facts. Each entry
// point (OrvRun, Capture, the checker, a test) builds one and passes it down; nothing in the
// engine looks it up, and two contexts never share anything.
//
// The diagnostics are borrowed (the exported error functions outlive a run); the rest is
// owned. Never copied.

#include "base/OrvDisplayFacts.h"
#include "base/OrvRandom.h"

#include <string>

class OrvDiagnostics;

class OrvRunContext {
public:
    OrvRunContext(const std::string& dataFolder, OrvDiagnostics& diagnostics);
    OrvRunContext(const OrvRunContext&) = delete;
    OrvRunContext& operator=(const OrvRunContext&) = delete;

    // Ends with "/".
    const std::string& DataFolder() const { return dataFolder; }
    OrvDiagnostics& Diagnostics() { return diagnostics; }
    OrvRandom& Random() { return random; }
    OrvDisplayFacts& Display() { return display; }
    const OrvDisplayFacts& Display() const { return display; }

private:
    std::string dataFolder;
    OrvDiagnostics& diagnostics;
    OrvRandom random;
    OrvDisplayFacts display;
};

#endif
