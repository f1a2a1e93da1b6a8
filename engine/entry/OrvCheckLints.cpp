#include "entry/OrvCheckLints.h"

#include "animation/OrvEnvelopeSegment.h"
#include "animation/OrvParameterManager.h"
#include "audio/OrvAudioStream.h"
#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDataFolder.h"
#include "base/OrvMessageKind.h"
#include "gfx/OrvImageFile.h"
#include "gfx/OrvTextureManager.h"
#include "scene/OrvObjectManager.h"
#include "scene/OrvRenderLine.h"
#include "scene/OrvRenderLineManager.h"
#include "scene/OrvSceneContext.h"
#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"

#include <cmath>
#include <cstdio>
#include <exception>

namespace {
OrvCheckLints::Finding Warning(int line, const std::string& text) {
    return OrvCheckLints::Finding{std::string(), line, 0, "warning: " + text};
}

OrvCheckLints::Finding FileError(const std::string& file, int severity, const std::string& text) {
    return OrvCheckLints::Finding{file, 0, severity, text};
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

OrvCheckLints::Findings OrvCheckLints::Braces(const OrvAsciiScriptLoader& loader) {
    Findings out;
    // Lines read one block too deep are the loader's error (it stands for all that is left
    // out because of it); a file that just ends inside a block still plays as written.
    const OrvScriptNode* block = loader.UnclosedBlock();
    if (block && loader.MisplacedFromLine() == 0)
        out.push_back(
            Warning(block->Line(), "block \"" + BlockName(*block) + "\" is never closed"));
    if (loader.StrayBraceLine() > 0)
        out.push_back(Warning(loader.StrayBraceLine(),
                              "\"}\" closes no block: the rest of the file is ignored"));
    // "} # end of objects" is a line with the word "}", not the end of a block.
    std::vector<const OrvScriptNode*> pending(loader.Root().Children().begin(),
                                              loader.Root().Children().end());
    while (!pending.empty()) {
        const OrvScriptNode* node = pending.back();
        pending.pop_back();
        if (!node)
            continue;
        if (node->IdEquals("}"))
            out.push_back(
                Warning(node->Line(), "\"}\" with more on its line does not close a block"));
        pending.insert(pending.end(), node->Children().begin(), node->Children().end());
    }
    return out;
}

OrvCheckLints::Findings OrvCheckLints::ObjectUse(OrvAsciiScriptLoader& loader,
                                                 const OrvObjectManager& objects,
                                                 const OrvRenderLineManager& renderLines,
                                                 const OrvParameterManager& parameters,
                                                 const std::set<std::string>& wordsOfFailedLines) {
    Findings out;
    const OrvScriptNode& root = loader.Root();
    const OrvScriptNode* objectBlock = root["objects"];
    const OrvScriptNode* script = root["script"];
    // These judge the show as a whole, which lines a missing "}" misplaced make other than
    // written: its error says enough.
    if (loader.MisplacedFromLine() > 0)
        return out;
    // An end line that failed (a bar time without a bpm, say) has said why already.
    if (script && loader.NumericValue(IOrvScriptLoader::EndPosition) == 0 && !HasEndLine(root))
        out.push_back(Warning(script->Line(), "no end command: the show never stops"));
    if (!objectBlock)
        return out;
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
            out.push_back(Warning(node->Line(), "object \"" + name + "\" is never enabled"));
        if (renderLinesComplete && !IsDrawn(renderLines, object))
            out.push_back(Warning(node->Line(), "object \"" + name + "\" is in no render line"));
    }
    return out;
}

OrvCheckLints::Findings OrvCheckLints::Music(OrvAsciiScriptLoader& loader,
                                             const std::string& dataFolder,
                                             const OrvMusicAnalysis& musicAnalysis) {
    Findings out;
    const OrvScriptNode* header = loader.Root()["header"];
    if (!header)
        return out;
    const OrvScriptNode* music = (*header)["music"];
    if (!music) {
        out.push_back(Warning(header->Line(), "no music key: the show plays silently"));
        return out;
    }
    // Opened as the music would be, but not played: no sound device is needed.
    std::string name = loader.StringValue(IOrvScriptLoader::Music);
    OrvAudioStream stream;
    if (!stream.Open(OrvDataFolder(dataFolder).Path(name))) {
        out.push_back(Warning(music->Line(), "music file cannot be loaded: " + name));
        return out;
    }
    const OrvScriptNode* bpmLine = (*header)["bpm"];
    double bpm = loader.NumericValue(IOrvScriptLoader::Bpm);
    if (!bpmLine || !(bpm > 0))
        return out;
    // The show's load going on, as a check loads it, detected the tempo too.
    double detected = musicAnalysis.Bpm();
    if (!(detected > 0) || musicAnalysis.TempoConfidence() < OrvMusicAnalysis::ConfidentTempo)
        return out;
    double compared = detected;
    if (TempoGap(bpm, detected, compared) > 0.02)
        out.push_back(Warning(bpmLine->Line(),
                              "bpm " + Bpm(bpm) + " is more than 2% off the music's tempo, " +
                                  Bpm(compared) + " bpm: bars and beats will drift off the music"));
    return out;
}

OrvCheckLints::Findings OrvCheckLints::Pictures(OrvSceneContext& scene) {
    Findings out;
    // As the display-mode screen reads its picture and says why it cannot.
    std::string splashPath = scene.Files().Path("splash.jpg");
    OrvImageFile splash(splashPath);
    if (splash.GetState() != OrvImageFile::Decoded)
        out.push_back(FileError("splash.jpg", 1,
                                "Unable to load graphics: " + OrvDataFolder::Shown("splash.jpg") +
                                    ": " + splash.Reason()));
    // As the loading screen gets its picture.
    try {
        scene.Textures().Texture("loading.jpg");
    } catch (const std::exception& error) {
        out.push_back(FileError("loading.jpg", 1, error.what()));
    }
    return out;
}

OrvCheckLints::Findings OrvCheckLints::BarsWithoutBpm(const OrvAsciiScriptLoader& loader,
                                                      int firstLine) {
    Findings out;
    const OrvScriptNode* header = loader.Root()["header"];
    if (firstLine > 0 && header)
        out.push_back(Finding{std::string(), header->Line(), 0,
                              std::string(OrvMessage::Text(OrvMessageKind::NoBpmForBars)) +
                                  ", which times in bars and beats need (the first is on line " +
                                  std::to_string(firstLine) + "): add one, as in bpm: 120"});
    return out;
}
