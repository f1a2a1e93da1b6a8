#include "entry/OrvScriptChecker.h"

#include "animation/OrvEnvelopeSegment.h"
#include "animation/OrvParameterManager.h"
#include "audio/OrvAudioStream.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvQuietLoadingObserver.h"
#include "base/OrvRunContext.h"
#include "entry/OrvCheckLints.h"
#include "entry/OrvMisplacedLines.h"
#include "gfx/OrvImageFile.h"
#include "gfx/OrvShaderCompileError.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTextureManager.h"
#include "platform/OrvGlWindow.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLine.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"
#include "script/OrvScriptSize.h"
#include "show/OrvLoadError.h"
#include "show/OrvShow.h"

#include <cmath>
#include <cstdio>
#include <exception>

namespace {
bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

// What the engine only warns about, as the show still plays, but a check calls a mistake: the
// show does not do what was written.
bool IsMistake(OrvMessageKind kind) {
    return kind == OrvMessageKind::UnknownHeaderKey || kind == OrvMessageKind::UnknownObjectInList;
}

} // namespace

OrvScriptChecker::OrvScriptChecker(OrvRunContext& run)
    : run(run), loading(nullptr), misplaced(nullptr), misplacedRan(false), holding(false),
      firstBarsWithoutBpm(0) {}

OrvScriptChecker::~OrvScriptChecker() {}

bool OrvScriptChecker::Check() {
    report = OrvCheckReport();
    failure.clear();
    failedNames.clear();
    wordsOfFailedLines.clear();
    firstBarsWithoutBpm = 0;
    misplacedRan = false;
    IOrvErrorListener* previous = run.Diagnostics().SetListener(this);
    bool clean = false;
    try {
        clean = CheckShow();
    } catch (const std::exception& error) {
        report.Add(0, 1, error.what());
    } catch (...) {
        report.Add(0, 1, "Unexpected error");
    }
    run.Diagnostics().SetListener(previous);
    loading = nullptr;
    misplaced = nullptr;
    openLines.clear();
    return clean && !report.HasError();
}

bool OrvScriptChecker::CheckShow() {
    // Declared first, so the show gives its OpenGL objects back before the context closes.
    OrvGlWindow gl;
    OrvShow show(run);
    // What reading says waits until the lines a missing "}" misplaced are known, since
    // that explains some of it ("Missing block: script" when the block went one level down).
    held.clear();
    holding = true;
    bool read = show.ReadScript();
    holding = false;
    OrvAsciiScriptLoader& script = *show.Script();
    OrvMisplacedLines misplacedLines(script);
    misplaced = &misplacedLines;
    for (const OrvDiagnostics::Record& record : held)
        Reported(record);
    held.clear();
    // A script with a block missing is checked on as far as it goes; one that could not be
    // read has nothing to check ("Could not open ..." is reported).
    if (!read && script.Root().ChildCount() == 0)
        return false;
    Add(OrvCheckLints::Braces(script));

    OrvGlWindow::Request offscreen;
    offscreen.width = offscreen.height = 16;
    offscreen.placement = OrvGlWindow::Placement::Offscreen;
    if (!gl.Open(offscreen)) {
        failure = gl.Error();
        return false;
    }
    // The sizes the show's window would record; the display is taken to be the surface.
    OrvDisplayFacts& display = run.Display();
    display.surfaceWidth = display.displayWidth = OrvScriptSize::SurfaceWidth(&script);
    display.surfaceHeight = display.displayHeight = OrvScriptSize::SurfaceHeight(&script);
    display.aspectRatio = static_cast<double>(display.surfaceWidth) / display.surfaceHeight;

    OrvQuietLoadingObserver quiet;
    show.LoadGoingOn(quiet, *this);
    openLines.clear();
    Add(OrvCheckLints::ObjectUse(script, *show.Objects(), *show.RenderLines(), *show.Parameters(),
                                 wordsOfFailedLines));
    Add(OrvCheckLints::BarsWithoutBpm(script, firstBarsWithoutBpm));
    Add(OrvCheckLints::Pictures(show.Scene()));
    Add(OrvCheckLints::Music(script, run.DataFolder(), show.MusicAnalysis()));
    return !report.HasError();
}

void OrvScriptChecker::Add(const OrvCheckLints::Findings& findings) {
    for (const OrvCheckLints::Finding& finding : findings) {
        if (finding.file.empty())
            report.Add(finding.line, finding.severity, finding.text);
        else
            report.AddForFile(finding.file, finding.severity, finding.text);
    }
}

void OrvScriptChecker::Building(Stage, const OrvScriptNode* node) {
    loading = node;
}

void OrvScriptChecker::Raised(Stage stage, const OrvScriptNode& node, const std::exception& error,
                              bool kept) {
    // A kept object raised only for lines of its block nobody understood: if a missing "}" put
    // them all there, that is said already.
    if (!(stage == Stage::Object && kept && misplaced && misplaced->OnlyMisplacedUnread(node)))
        OrvLoadError::Report(run.Diagnostics(), error, node.Line());
    if (stage != Stage::Buffer && !kept && !node.Id().empty())
        failedNames.insert(node.Id());
}

void OrvScriptChecker::Reported(const OrvDiagnostics::Record& record) {
    // The engine's summaries say nothing the messages before them did not.
    if (record.kind == OrvMessageKind::CouldNotLoadScript ||
        record.kind == OrvMessageKind::ErrorsInScript)
        return;
    if (holding) {
        held.push_back(record);
        return;
    }
    int severity = IsMistake(record.kind) ? 1 : record.severity;
    const bool inScript = record.file.empty() || record.file == OrvDiagnostics::ScriptFile;
    if (openLines.empty()) {
        // A message of another file (a shader's log) is listed with the node that loads it.
        int nodeLine = loading ? loading->Line() : 0;
        int line = inScript ? (record.file.empty() ? nodeLine : record.line) : nodeLine;
        if (FollowsFromMissingBrace(line))
            return;
        if (inScript)
            report.Add(line, severity, record.text);
        else
            report.AddBeside(nodeLine, record.file, record.line, severity, record.text);
        return;
    }
    OpenLine& line = openLines.back();
    bool failedLine = record.kind == OrvMessageKind::ErrorOnLine;
    if (failedLine) {
        // An object named on a failed line ("0 enable a box" where a is unknown) may have
        // been switched on by it: no warning that it never is.
        for (const std::string& word : line.node->ArgsRef())
            wordsOfFailedLines.insert(word);
    }
    // Bar times without a bpm fail every line that has one: the first says so (and the
    // header gets a note), the others follow from it.
    bool repeatedNoBpm = false;
    if (record.kind == OrvMessageKind::BarsWithoutBpm) {
        repeatedNoBpm = firstBarsWithoutBpm > 0;
        if (!repeatedNoBpm)
            firstBarsWithoutBpm = line.node->Line();
    }
    // Once a line that a missing "}" misplaced has run (in the loop before it, say), the
    // timeline is not the one written: later rounds and the blocks it calls fail because of
    // it. Only a line that failed for what was shown before still says so.
    bool afterMisplaced = misplacedRan && !(failedLine && line.shown);
    if (FollowsFromFailedLoad(record) || afterMisplaced || CallsMovedBlock(record) ||
        repeatedNoBpm) {
        line.hidden = true;
        return;
    }
    // A line that failed only because of what was left out is not reported either.
    if (failedLine && line.hidden && !line.shown)
        return;
    line.shown = true;
    int at = record.file == OrvDiagnostics::ScriptFile && record.line > 0 ? record.line
                                                                          : line.node->Line();
    if (inScript)
        report.Add(at, severity, record.text);
    else
        report.AddBeside(line.node->Line(), record.file, record.line, severity, record.text);
}

void OrvScriptChecker::LineStarted(const OrvScriptNode& line) {
    if (FollowsFromMissingBrace(line.Line()))
        misplacedRan = true;
    openLines.push_back(OpenLine{&line, false, false});
}

void OrvScriptChecker::LineEnded(const OrvScriptNode& line) {
    if (openLines.empty() || openLines.back().node != &line)
        return;
    OpenLine ended = openLines.back();
    openLines.pop_back();
    if (!openLines.empty()) {
        openLines.back().shown = openLines.back().shown || ended.shown;
        openLines.back().hidden = openLines.back().hidden || ended.hidden;
    }
}

bool OrvScriptChecker::FollowsFromMissingBrace(int line) const {
    if (!misplaced)
        return false;
    // Without a line a message is about the file as a whole: which blocks it has.
    return line > 0 ? misplaced->Contains(line) : misplaced->HasTopLevelLines();
}

bool OrvScriptChecker::CallsMovedBlock(const OrvDiagnostics::Record& record) const {
    return misplaced && record.kind == OrvMessageKind::SubNodeNotFound &&
           misplaced->MovedBlock(record.subject);
}

bool OrvScriptChecker::FollowsFromFailedLoad(const OrvDiagnostics::Record& record) const {
    if (failedNames.empty() || record.kind != OrvMessageKind::UnknownParameter)
        return false;
    const std::string& name = record.subject;
    for (const std::string& failed : failedNames) {
        // Its own parameters ("box.col.a") and its switch ("objects.box").
        if (StartsWith(name, failed + ".") || name == "objects." + failed)
            return true;
    }
    return false;
}
