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
#include "show/OrvShow.h"

#include <cmath>
#include <cstdio>
#include <exception>

namespace {
const std::string NotProcessed = "Error: Line not processed: ";
const std::string UnknownParameter = "Unknown parameter: ";
const std::string ErrorOnLine = "Error on line: ";
const std::string SubNodeNotFound = "Sub node not found: ";

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
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
    : run(run), loading(nullptr), misplaced(nullptr), misplacedRan(false), holding(false) {}

OrvScriptChecker::~OrvScriptChecker() {}

bool OrvScriptChecker::Check() {
    report = OrvCheckReport();
    failure.clear();
    failedNames.clear();
    wordsOfFailedLines.clear();
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
    for (const std::pair<int, std::string>& message : held)
        Reported(message.first, message.second);
    held.clear();
    // A script with a block missing is checked on as far as it goes; one that could not be
    // read has nothing to check ("Could not open ..." is reported).
    if (!read && script.Root().ChildCount() == 0)
        return false;
    CheckBraces(script);

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
    CheckObjectUse(script, *show.Objects(), *show.RenderLines(), *show.Parameters());
    CheckPictures(show.Scene());
    CheckMusic(script, show.MusicAnalysis());
    return !report.HasError();
}

void OrvScriptChecker::CheckBraces(const OrvAsciiScriptLoader& loader) {
    if (const OrvScriptNode* block = loader.UnclosedBlock()) {
        std::string text = "block \"" + BlockName(*block) + "\" is never closed";
        // Lines read one block too deep make the show other than written: an error, which
        // also stands for all that is left out because of it.
        if (int from = loader.MisplacedFromLine())
            report.Add(block->Line(), 1,
                       text + ": from line " + std::to_string(from) +
                           " on, every line is read one block too deep (what follows from that is "
                           "not listed)");
        else
            report.Warn(block->Line(), text);
    }
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
    if (stage == Stage::Buffer) {
        Reported(1, error.what());
        return;
    }
    // A kept object raised only for lines of its block nobody understood: if a missing "}" put
    // them all there, that is said already.
    if (!(stage == Stage::Object && kept && misplaced && misplaced->OnlyMisplacedUnread(node)))
        ReportRaised(error);
    if (!kept && !node.Id().empty())
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
    if (script && loader.NumericValue(IOrvScriptLoader::EndPosition) == 0)
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

void OrvScriptChecker::Reported(int severity, const std::string& message) {
    // The engine's summaries say nothing the messages before them did not.
    if (message == "Could not load a script file" || message == "Errors in script file")
        return;
    if (holding) {
        held.emplace_back(severity, message);
        return;
    }
    if (openLines.empty()) {
        int line = loading ? LineFor(*loading, message) : 0;
        if (!FollowsFromMissingBrace(line))
            report.Add(line, severity, message);
        return;
    }
    OpenLine& line = openLines.back();
    bool failedLine = StartsWith(message, ErrorOnLine);
    if (failedLine) {
        // An object named on a failed line ("0 enable a box" where a is unknown) may have
        // been switched on by it: no warning that it never is.
        for (const std::string& word : line.node->ArgsRef())
            wordsOfFailedLines.insert(word);
    }
    // Once a line that a missing "}" misplaced has run (in the loop before it, say), the
    // timeline is not the one written: later rounds and the blocks it calls fail because of
    // it. Only a line that failed for what was shown before still says so.
    bool afterMisplaced = misplacedRan && !(failedLine && line.shown);
    if (FollowsFromFailedLoad(message) || afterMisplaced || CallsMovedBlock(message)) {
        line.hidden = true;
        return;
    }
    // A line that failed only because of what was left out is not reported either.
    if (failedLine && line.hidden && !line.shown)
        return;
    line.shown = true;
    report.Add(line.node->Line(), severity, message);
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

void OrvScriptChecker::ReportRaised(const std::exception& error) {
    const OrvShaderCompileError* compile = dynamic_cast<const OrvShaderCompileError*>(&error);
    if (!compile) {
        Reported(1, error.what());
        return;
    }
    // The compiler's lines go under the shader file's name and own line, listed with the
    // object's line; a line that names no place in the file stays there as it was written.
    int line = loading ? loading->Line() : 0;
    if (FollowsFromMissingBrace(line))
        return;
    std::string unplaced;
    for (const OrvShaderLogTranslator::Record& record : compile->Records())
        if (record.line == 0)
            unplaced += "\n" + record.text;
    report.Add(line, 1, "Shader compiling failed: " + compile->File() + unplaced);
    for (const OrvShaderLogTranslator::Record& record : compile->Records())
        if (record.line > 0)
            report.AddBeside(line, record.file, record.line, 1, record.text);
}

int OrvScriptChecker::LineFor(const OrvScriptNode& node, const std::string& message) const {
    if (StartsWith(message, NotProcessed)) {
        for (const OrvScriptNode* key : node.Children())
            if (key && !key->IsProcessed() && message == NotProcessed + key->ToString())
                return key->Line();
    }
    // A message that ends in the full name of a key's parameter ("...: box.col.a") is the
    // key's too.
    for (const OrvScriptNode* key : node.Children()) {
        if (!key || key->Id().empty())
            continue;
        std::string ending = ": " + node.Id() + "." + key->Id();
        if (message.size() >= ending.size() &&
            message.compare(message.size() - ending.size(), ending.size(), ending) == 0)
            return key->Line();
    }
    return node.Line();
}

bool OrvScriptChecker::FollowsFromMissingBrace(int line) const {
    if (!misplaced)
        return false;
    // Without a line a message is about the file as a whole: which blocks it has.
    return line > 0 ? misplaced->Contains(line) : misplaced->HasTopLevelLines();
}

bool OrvScriptChecker::CallsMovedBlock(const std::string& message) const {
    return misplaced && StartsWith(message, SubNodeNotFound) &&
           misplaced->MovedBlock(message.substr(SubNodeNotFound.size()));
}

bool OrvScriptChecker::FollowsFromFailedLoad(const std::string& message) const {
    if (failedNames.empty() || !StartsWith(message, UnknownParameter))
        return false;
    size_t end = message.find('\n', UnknownParameter.size());
    std::string name = message.substr(
        UnknownParameter.size(), end == std::string::npos ? end : end - UnknownParameter.size());
    for (const std::string& failed : failedNames) {
        // Its own parameters ("box.col.a") and its switch ("objects.box").
        if (StartsWith(name, failed + ".") || name == "objects." + failed)
            return true;
    }
    return false;
}
