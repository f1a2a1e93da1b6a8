#include "entry/OrvScriptChecker.h"

#include "animation/OrvEnvelopeSegment.h"
#include "animation/OrvParameterManager.h"
#include "audio/OrvAudioStream.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDataFolder.h"
#include "base/OrvDiagnostics.h"
#include "base/OrvQuietLoadingObserver.h"
#include "base/OrvRunContext.h"
#include "entry/OrvMisplacedLines.h"
#include "gfx/OrvHiddenGlContext.h"
#include "gfx/OrvImageFile.h"
#include "gfx/OrvShaderCompileError.h"
#include "gfx/OrvShaderManager.h"
#include "gfx/OrvTextureManager.h"
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

// How a warning names a block: its identifier, or its words when it has none (a loop).
std::string BlockName(const OrvScriptNode& block) {
    return block.Id().empty() ? block.JoinedArgs() : block.Id();
}

// True when some item of the object's switch can turn it on: anything but a hold of 0.
bool CanBeSwitchedOn(const OrvParameterManager& parameters, const std::string& name) {
    int record = parameters.FindParameterByName("objects." + name);
    if (record < 0)
        return false;
    const OrvParameterEnvelope& envelope = parameters.Envelope(record);
    for (int i = 0; i < envelope.ItemCount(); ++i) {
        const OrvEnvelopeSegment* item = envelope.Segment(i);
        if (!item || item->kind != OrvEnvelopeSegment::Kind::Hold || item->values[0] != 0)
            return true;
    }
    return false;
}

// The beat tracker often locks on to half or twice the tempo, which puts the script's beats
// on the music just as well: the header's bpm is compared with the nearest of the three.
double TempoGap(double headerBpm, double detectedBpm, double& compared) {
    double best = -1;
    for (double factor : {1.0, 2.0, 0.5}) {
        double gap = std::fabs(headerBpm - detectedBpm * factor) / (detectedBpm * factor);
        if (best < 0 || gap < best) {
            best = gap;
            compared = detectedBpm * factor;
        }
    }
    return best;
}

std::string Bpm(double bpm) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", bpm);
    return text;
}

// True when some timeline line, in the script block or a block it may call or loop, is an end
// command as written ("T end"), whether or not it worked.
bool HasEndLine(const OrvScriptNode& root) {
    std::vector<const OrvScriptNode*> pending;
    for (const OrvScriptNode* block : root.Children())
        if (block && !block->IdEquals("header") && !block->IdEquals("objects") &&
            !block->IdEquals("renderLines"))
            pending.push_back(block);
    while (!pending.empty()) {
        const OrvScriptNode* node = pending.back();
        pending.pop_back();
        const std::vector<std::string>& args = node->ArgsRef();
        if (args.size() == 2 && args[1] == "end")
            return true;
        for (const OrvScriptNode* child : node->Children())
            if (child)
                pending.push_back(child);
    }
    return false;
}

bool IsDrawn(const OrvRenderLineManager& renderLines, const OrvObject* object) {
    for (int i = 0; i < renderLines.LineCount(); ++i) {
        const OrvRenderLine* line = renderLines[i];
        for (int j = 0; j < line->DrawListSize(); ++j)
            if (line->DrawListObject(j) == object)
                return true;
    }
    return false;
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
    OrvHiddenGlContext gl;
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
    CheckBraces(script);

    if (!gl.Open()) {
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
    CheckObjectUse(script, *show.Objects(), *show.RenderLines(), *show.Parameters());
    if (firstBarsWithoutBpm > 0 && script.Root()["header"])
        report.Add(script.Root()["header"]->Line(), 0,
                   std::string(OrvMessage::Text(OrvMessageKind::NoBpmForBars)) +
                       ", which times in bars and beats need (the first is on line " +
                       std::to_string(firstBarsWithoutBpm) + "): add one, as in bpm: 120");
    CheckPictures(show.Scene());
    CheckMusic(script, show.MusicAnalysis());
    return !report.HasError();
}

void OrvScriptChecker::CheckBraces(const OrvAsciiScriptLoader& loader) {
    // Lines read one block too deep are the loader's error (it stands for all that is left
    // out because of it); a file that just ends inside a block still plays as written.
    const OrvScriptNode* block = loader.UnclosedBlock();
    if (block && loader.MisplacedFromLine() == 0)
        report.Warn(block->Line(), "block \"" + BlockName(*block) + "\" is never closed");
    if (loader.StrayBraceLine() > 0)
        report.Warn(loader.StrayBraceLine(),
                    "\"}\" closes no block: the rest of the file is ignored");
    // "} # end of objects" is a line with the word "}", not the end of a block.
    std::vector<const OrvScriptNode*> pending(loader.Root().Children().begin(),
                                              loader.Root().Children().end());
    while (!pending.empty()) {
        const OrvScriptNode* node = pending.back();
        pending.pop_back();
        if (!node)
            continue;
        if (node->IdEquals("}"))
            report.Warn(node->Line(), "\"}\" with more on its line does not close a block");
        pending.insert(pending.end(), node->Children().begin(), node->Children().end());
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

void OrvScriptChecker::CheckObjectUse(OrvAsciiScriptLoader& loader, const OrvObjectManager& objects,
                                      const OrvRenderLineManager& renderLines,
                                      const OrvParameterManager& parameters) {
    const OrvScriptNode& root = loader.Root();
    const OrvScriptNode* objectBlock = root["objects"];
    const OrvScriptNode* script = root["script"];
    // These judge the show as a whole, which lines a missing "}" misplaced make other than
    // written: its error says enough.
    if (loader.MisplacedFromLine() > 0)
        return;
    // An end line that failed (a bar time without a bpm, say) has said why already.
    if (script && loader.NumericValue(IOrvScriptLoader::EndPosition) == 0 && !HasEndLine(root))
        report.Warn(script->Line(), "no end command: the show never stops");
    if (!objectBlock)
        return;
    std::set<std::string> templates; // sources of duplicates
    for (const OrvScriptNode* node : objectBlock->Children()) {
        const std::vector<std::string>& args = node->ArgsRef();
        if (args.size() == 2 && args[0] == "duplicate")
            templates.insert(args[1]);
    }
    // Without the timeline nothing is enabled, and without every render line loaded the
    // draw lists are not the show's: those warnings would only repeat the errors.
    bool timelineRan = script != nullptr;
    bool renderLinesComplete =
        root["renderLines"] != nullptr &&
        renderLines.LineCount() == static_cast<int>(root["renderLines"]->ChildCount());
    std::set<std::string> seen;
    for (const OrvScriptNode* node : objectBlock->Children()) {
        const std::string name = node->Id();
        const OrvObject* object = objects.Object(name);
        if (!object || !seen.insert(name).second || templates.count(name))
            continue;
        if (timelineRan && !wordsOfFailedLines.count(name) && !CanBeSwitchedOn(parameters, name))
            report.Warn(node->Line(), "object \"" + name + "\" is never enabled");
        if (renderLinesComplete && !IsDrawn(renderLines, object))
            report.Warn(node->Line(), "object \"" + name + "\" is in no render line");
    }
}

void OrvScriptChecker::CheckMusic(OrvAsciiScriptLoader& loader,
                                  const OrvMusicAnalysis& musicAnalysis) {
    const OrvScriptNode* header = loader.Root()["header"];
    if (!header)
        return;
    const OrvScriptNode* music = (*header)["music"];
    if (!music) {
        report.Warn(header->Line(), "no music key: the show plays silently");
        return;
    }
    // Opened as the music would be, but not played: no sound device is needed.
    std::string name = loader.StringValue(IOrvScriptLoader::Music);
    OrvAudioStream stream;
    if (!stream.Open(OrvDataFolder(run.DataFolder()).Path(name))) {
        report.Warn(music->Line(), "music file cannot be loaded: " + name);
        return;
    }
    const OrvScriptNode* bpmLine = (*header)["bpm"];
    double bpm = loader.NumericValue(IOrvScriptLoader::Bpm);
    if (!bpmLine || !(bpm > 0))
        return;
    // The show's load going on, as a check loads it, detected the tempo too.
    double detected = musicAnalysis.Bpm();
    if (!(detected > 0) || musicAnalysis.TempoConfidence() < OrvMusicAnalysis::ConfidentTempo)
        return;
    double compared = detected;
    if (TempoGap(bpm, detected, compared) > 0.02)
        report.Warn(bpmLine->Line(),
                    "bpm " + Bpm(bpm) + " is more than 2% off the music's tempo, " + Bpm(compared) +
                        " bpm: bars and beats will drift off the music");
}

void OrvScriptChecker::CheckPictures(OrvSceneContext& scene) {
    // As the display-mode screen reads its picture and says why it cannot.
    std::string splashPath = scene.Files().Path("splash.jpg");
    OrvImageFile splash(splashPath);
    if (splash.GetState() != OrvImageFile::Decoded)
        report.AddForFile("splash.jpg", 1,
                          "Unable to load graphics: " + OrvDataFolder::Shown("splash.jpg") + ": " +
                              splash.Reason());
    // As the loading screen gets its picture.
    try {
        scene.Textures().Texture("loading.jpg");
    } catch (const std::exception& error) {
        report.AddForFile("loading.jpg", 1, error.what());
    }
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
