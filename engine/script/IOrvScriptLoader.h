#ifndef ORV_SCRIPT_IORVSCRIPTLOADER_H
#define ORV_SCRIPT_IORVSCRIPTLOADER_H

// What the engine asks of a script: load it, answer header values, hand out the object and
// render-line lines, and turn the timeline into parameter animation.
//
// Ownership: the loader owns the whole node tree. The node pointers returned by Objects() and
// RenderLines() are borrowed and stay valid as long as the loader lives.

#include <string>
#include <vector>

class OrvParameterManager;
class OrvScriptNode;

class IOrvScriptLoader {
public:
    enum OrvScriptLoaderStringValueId { Title = 0, Music = 1 };
    enum OrvScriptLoaderNumericValueId {
        Bpm = 0,
        Width = 1,
        Height = 2,
        Jump = 3,
        EndPosition = 4
    };

    // Reads and checks the file; false after reporting why.
    virtual bool Load(const char* path) = 0;
    // The header value's words joined with single spaces; "undefined" when it is missing.
    virtual std::string StringValue(OrvScriptLoaderStringValueId id) = 0;
    // The header value read as a leading number (0 when missing or not numeric); EndPosition
    // is the time of the script's end command in milliseconds, 0 when there is none.
    virtual double NumericValue(OrvScriptLoaderNumericValueId id) = 0;
    // The words that NumericValue reads, joined with single spaces: empty when the header
    // value is missing, and for EndPosition.
    virtual std::string NumericText(OrvScriptLoaderNumericValueId id) = 0;
    virtual std::vector<OrvScriptNode*> Objects() = 0;
    virtual std::vector<OrvScriptNode*> RenderLines() = 0;
    // Turns every timeline line into envelope items; false when any line failed.
    virtual bool ProcessScript(OrvParameterManager& parameters) = 0;
    virtual ~IOrvScriptLoader();
};

#endif
