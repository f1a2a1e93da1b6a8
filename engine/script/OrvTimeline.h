#ifndef ORV_SCRIPT_ORVTIMELINE_H
#define ORV_SCRIPT_ORVTIMELINE_H

// Turns the lines of the script block into envelope items. Each line is a command that starts
// at a time; the commands are tried in this order and the first that fits is used:
//   1  %t * = %n                          hold
//   2  %t * = %n to %n in %t              linear fade
//   3  %t * = spline %n %n %n %n in %t    spline
//   4  %t loop %t %n times                loop over the line's own block
//   5  %t call * ***                      call a top-level block with arguments
//   6  %t enable * ***                    switch objects on
//   7  %t disable * ***                   switch objects off
//   8  %t end                             end of the show
//   9  %t * = rand %n - %n                one random value, then held
//  10  %t * = rand %n - %n for %t         a new random value every frame for a time
//  11  %t * = follow *                    follow a source (a music band, level, onsets)
//  12  %t * = follow * * %n               ... times a, or plus b (the operator: "*" or "+")
//  13  %t * = follow * * %n + %n          ... times a plus b
//  14  %t * = smooth %n to %n in %t       eased in and out, t²(3 − 2t)
//  15  %t * = ramp %n to %n in %t         eased in, t²
// (%t a time, %n a number, * any word, *** as the last word any number of words.)
//
// A failing line reports why, then "Error on line: " and the line as written (its arguments,
// or the whole line when it has none, such as "foo}"), and stops its block; what is reported
// while a line is processed is at its place (file and line). A duration (after "in" and
// "for") may not be negative ("Duration is negative: -2"). A loop whose body fails in more
// than one round reports the first failing round and then, once the loop is done, "The loop's
// body failed in N of its M rounds (only the first is listed)"; the later rounds still run,
// muted. Loops and calls nest at most MaxDepth deep, and one script expands to at most
// MaxCommands lines and loop rounds, so a block that calls itself or loops within loops
// cannot hang or exhaust the machine; both limits fail the line with a message. Counting
// lines is not enough where lines are long or a called block has many arguments, so the
// text is counted too: every line read charges its length, and searching a word for an
// argument charges the word's length (plus a little for the search), and again its new
// length when the argument was replaced in it; past MaxTextBytes in all, the line fails like
// one past MaxCommands.
//
// A checking timeline (one given an observer) goes on after a failed line: the line is
// reported as above, and the rest of its block still runs, so one pass finds every failing
// line. The block then fails at its end. Only the limits above still stop everything.
//
// Ownership: the timeline borrows the root node, the parameter manager and the observer for
// the duration of Process(); it keeps nothing after that.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/OrvScriptTime.h"

class IOrvTimelineObserver;
class OrvDiagnostics;
class OrvParameterManager;
class OrvScriptNode;

class OrvTimeline {
public:
    static const int MaxDepth = 64;
    static const uint64_t MaxCommands = 5000000;
    static const uint64_t MaxTextBytes = uint64_t(1) << 30;

    // root: the whole script, whose top-level blocks can be called.
    // endPosition: the loader's end position, which the end command sets (0 = none yet).
    // observer: null for playing; an observer makes a checking timeline (see above).
    // diagnostics: where the timeline's own messages go (borrowed).
    OrvTimeline(const OrvScriptNode& root, double beatLength, OrvParameterManager& parameters,
                uint32_t& endPosition, OrvDiagnostics& diagnostics,
                IOrvTimelineObserver* observer = nullptr);

    // The file the lines come from, as failing lines name it ("script.txt" unless set).
    void SetFileName(const std::string& name) { fileName = name; }

    // Processes the lines of the block at offset 0; true when every line succeeded.
    bool Process(const OrvScriptNode& script);

private:
    enum Command {
        Hold,
        Linear,
        Spline,
        Loop,
        Call,
        Enable,
        Disable,
        End,
        Random,
        RandomFor,
        Follow,
        FollowOne,
        FollowBoth,
        Smooth,
        Ramp
    };
    typedef std::map<std::string, std::string> Substitutions;
    typedef std::deque<std::string> Words;

    bool ProcessBlock(const OrvScriptNode& block, uint32_t offset, const Substitutions& table,
                      int depth);
    bool ProcessLine(const OrvScriptNode& line, uint32_t offset, const Substitutions& table,
                     int depth);
    bool Matches(const Words& line, const Words& pattern) const;
    bool Substitute(Words& words, const Substitutions& table);
    // Replaces every occurrence of the key in the word by the value; false (after reporting
    // it) when the word would grow past 16 MiB on the way.
    bool SubstituteKey(std::string& word, const std::string& key, const std::string& value) const;
    bool TimeOf(const std::string& word, uint32_t& milliseconds) const;
    bool DurationOf(const std::string& word, uint32_t& milliseconds) const;
    void ReportLimit(const std::string& message);
    bool Switch(const Words& words, uint32_t time, double value);
    bool RunFollow(int command, const Words& words, uint32_t time);
    bool RunLoop(const OrvScriptNode& line, const Words& words, uint32_t time, int depth);
    bool RunCall(const Words& words, uint32_t time, int depth);
    // The first top-level line whose identifier is the name; null when there is none.
    const OrvScriptNode* FindBlock(const std::string& name);
    bool CountCommand();
    bool CountText(uint64_t bytes);

    const OrvScriptNode& root;
    OrvScriptTime times;
    OrvParameterManager& parameters;
    uint32_t& endPosition;
    OrvDiagnostics& diagnostics;
    IOrvTimelineObserver* observer; // not owned; null unless checking
    std::vector<Words> patterns;
    uint64_t commandCount;
    uint64_t textBytes;
    bool overLimit;
    // Top-level lines by identifier (borrowed from the root), filled on the first call.
    std::unordered_map<std::string, const OrvScriptNode*> blocks;
    bool blocksIndexed;
    std::string fileName = "script.txt";
    int muting = 0;           // loops whose later rounds run muted, around the current line
    std::string pendingLimit; // a limit's message reached while muted, said when unmuted
};

#endif
