#ifndef ORV_ENTRY_ORVSCRIPTCHECKER_H
#define ORV_ENTRY_ORVSCRIPTCHECKER_H

// Checks a show without playing it ("Run --check"). It loads the data folder's show with the
// engine's own loader (OrvShow), in an OpenGL context that is never shown and needs no
// display server (OrvGlWindow offscreen), without the display-mode screen, the loading screen or
// the sound device; but where the engine stops at the first error, the check goes on
// (OrvShow::LoadGoingOn): an object or render line that fails is left out and the next one
// loaded, and the whole timeline runs, a failed line not stopping its block. Every message goes
// into the report (OrvCheckReport) at the place its record carries (OrvDiagnostics: the
// reporters know it: a key of an object block, a render line's key, a timeline line, a line
// of a called block or loop body; the calling line gets its own "Error on line: "), else at
// the line of the node being loaded (an object, a render line), else for the file as a whole;
// a shader's compile log goes under the shader file's name and own line, listed beside the
// object that loads it (OrvLoadError). What is left out or kept is decided from the records'
// kinds and subjects (OrvMessageKind), never from their texts. The engine's warnings about a
// header key or a render line's object that is none (the show plays, but not as written) are
// errors here.
// The messages are the engine's own texts. Left out, because they say nothing new: the
// engine's summaries ("Errors in script file", "Could not load a script file"), and what
// follows from an object or render line that failed to load: "Unknown parameter: " for its
// parameters, with the "Error on line: " lines that only that caused.
//
// A missing "}" that puts the lines after it one block too deep (OrvMisplacedLines) is an
// error of the check's own, at the block's opening line:
//   block "NAME" is never closed: from line N on, every line is read one block too deep
//   (what follows from that is not listed)
// Left out with it: what is said about line N and later ones; whatever the timeline says
// once it has run such a line (later rounds of a loop, the blocks they call); a call of a
// block that was moved ("Sub node not found: "); an object's summary of unknown lines when
// all of them are misplaced; the loader's "Missing block: " when a top-level line is
// misplaced; and the object warnings below.
//
// The check's own findings are functions over the loaded show (OrvCheckLints); its warnings,
// which never make the check fail:
//   block "NAME" is never closed               the file ended inside it with no line
//                                              misplaced (by indentation): a "}" is missing
//                                              (the line is the block's opening line)
//   "}" closes no block: the rest of the file is ignored
//   "}" with more on its line does not close a block
//   object "NAME" is never enabled             no timeline line can switch it on
//   object "NAME" is in no render line         so it is never drawn
//   no end command: the show never stops       (at the script block's line)
//   music file cannot be loaded: NAME          (at the music line; the show plays silently)
//   no music key: the show plays silently      (at the header's line)
//   bpm B is more than 2% off the music's tempo, T bpm: bars and beats will drift off the
//   music                                      (at the bpm line) when the beat tracker is
//                                              confident (OrvMusicAnalysis::ConfidentTempo)
//                                              and neither T nor half or twice it is within 2%
// The show's load analyses the music, so follow items name the same sources as when playing;
// the tempo warning analyses it once more, with the tempo (OrvMusicAnalysis).
// An object that is the source of a duplicate may be meant as a template only: it gets
// neither object warning. Nor does an object named on a timeline line that failed (it might
// be switched on once the line is mended), nor, while a render line failed to load, does
// any object get the render-line warning.
//
// Errors about the two pictures the engine shows before the script's own ones, because the
// show cannot start without them, under their own file names with the engine's messages:
// "splash.jpg" (the display-mode screen, "Unable to load graphics: ...") and "loading.jpg"
// (the loading screen, the texture manager's message).
//
// Check leaves nothing behind: every OpenGL object it made is released, the context closed,
// and the diagnostics' listener set back. The messages also reach the run's diagnostics.
// Ownership: owns its report; the run context (data folder, diagnostics) is borrowed. Main
// thread only; one check at a time.

#include "base/IOrvErrorListener.h"
#include "entry/OrvCheckLints.h"
#include "entry/OrvCheckReport.h"
#include "show/IOrvShowLoadWatcher.h"

#include <exception>
#include <set>
#include <string>
#include <utility>
#include <vector>

class OrvAsciiScriptLoader;
class OrvMusicAnalysis;
class OrvMisplacedLines;
class OrvObjectManager;
class OrvParameterManager;
class OrvRenderLineManager;
class OrvRunContext;
class OrvSceneContext;
class OrvScriptNode;

class OrvScriptChecker : private IOrvErrorListener, private IOrvShowLoadWatcher {
public:
    explicit OrvScriptChecker(OrvRunContext& run);
    ~OrvScriptChecker();
    OrvScriptChecker(const OrvScriptChecker&) = delete;
    OrvScriptChecker& operator=(const OrvScriptChecker&) = delete;

    // Checks the show of the data folder once; true when the check found no error. False
    // too when the check itself could not run (no OpenGL context): Failure() then says why
    // and the report holds what was found before.
    bool Check();
    const OrvCheckReport& Report() const { return report; }
    // Why the check could not run; empty when it ran.
    const std::string& Failure() const { return failure; }

private:
    // A timeline line being processed, and what became of its messages so far.
    struct OpenLine {
        const OrvScriptNode* node;
        bool shown;  // a message of it, or of a line it ran, was reported
        bool hidden; // one was left out as following from a failed object or render line
    };

    void Reported(const OrvDiagnostics::Record& record) override;
    void LineStarted(const OrvScriptNode& line) override;
    void LineEnded(const OrvScriptNode& line) override;
    void Building(Stage stage, const OrvScriptNode* node) override;
    void Raised(Stage stage, const OrvScriptNode& node, const std::exception& error,
                bool kept) override;

    bool CheckShow();
    // The lints' findings into the report.
    void Add(const OrvCheckLints::Findings& findings);

    // True for a message at the line (0: the file as a whole) that a missing "}" explains.
    bool FollowsFromMissingBrace(int line) const;
    // True for "Sub node not found: " about a block that a missing "}" moved.
    bool CallsMovedBlock(const OrvDiagnostics::Record& record) const;
    // True for "Unknown parameter: " about a parameter of something that failed to load.
    bool FollowsFromFailedLoad(const OrvDiagnostics::Record& record) const;

    OrvRunContext& run;
    OrvCheckReport report;
    std::string failure;
    const OrvScriptNode* loading;             // the object or render line being loaded, or null
    const OrvMisplacedLines* misplaced;       // what a missing "}" explains; set while checking
    bool misplacedRan;                        // the timeline has run a misplaced line
    std::vector<OpenLine> openLines;          // the timeline lines being processed, innermost last
    std::set<std::string> failedNames;        // objects and render lines that failed to load
    std::set<std::string> wordsOfFailedLines; // the words of every timeline line that failed
    bool holding;                             // reading the script: messages wait in `held`
    std::vector<OrvDiagnostics::Record> held;
    int firstBarsWithoutBpm; // the first timeline line with a bar time and no bpm; 0: none
};

#endif
