#ifndef ORV_SHOW_IORVSHOWLOADWATCHER_H
#define ORV_SHOW_IORVSHOWLOADWATCHER_H

// Watches a show that loads going on past its errors (OrvShow::LoadGoingOn, the checker's way):
// it hears which script node is being built, so that what gets reported meanwhile can be put
// at that node's line, and receives what building a node raised instead of the load stopping
// there. As a timeline observer it hears of each timeline line the same way.
//
// The show only calls it, on the loading thread; it never owns one. Nodes are borrowed from
// the show's script and valid while the show lives.

#include "script/IOrvTimelineObserver.h"

#include <exception>

class OrvScriptNode;

class IOrvShowLoadWatcher : public IOrvTimelineObserver {
public:
    enum class Stage {
        Object,     // building an object of the objects block
        RenderLine, // building a render line
        Buffer,     // checking a built render line's buffer once all lines are built
    };

    // Before building `node` at `stage`, and with null when that is over.
    virtual void Building(Stage stage, const OrvScriptNode* node) = 0;
    // Building `node` raised `error`. `kept`: the object or line was kept all the same (an
    // object whose block had lines nobody understood; a line whose buffer check failed).
    virtual void Raised(Stage stage, const OrvScriptNode& node, const std::exception& error,
                        bool kept) = 0;

protected:
    ~IOrvShowLoadWatcher() {}
};

#endif
