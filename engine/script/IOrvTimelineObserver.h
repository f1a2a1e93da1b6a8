#ifndef ORV_SCRIPT_IORVTIMELINEOBSERVER_H
#define ORV_SCRIPT_IORVTIMELINEOBSERVER_H

// Hears of every timeline line as the timeline processes it, so that a script checker can
// tell which line each reported message belongs to. LineStarted comes before the line's
// first message and LineEnded after its last one, "Error on line: " included. Lines of a
// loop body or a called block are started and ended inside the line that runs them, once
// per round or call.
//
// The timeline only calls it; it never owns or deletes an observer. The node references are
// borrowed from the loader's tree and valid while the loader lives.

class OrvScriptNode;

class IOrvTimelineObserver {
public:
    virtual void LineStarted(const OrvScriptNode& line) = 0;
    virtual void LineEnded(const OrvScriptNode& line) = 0;

protected:
    ~IOrvTimelineObserver() {}
};

#endif
