#include "script/OrvAsciiScriptLoader.h"

#include "base/OrvDiagnostics.h"
#include "base/OrvSimilarWords.h"
#include "script/OrvStringUtils.h"
#include "script/OrvTimeline.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {
// Every key the header may hold; any other is a slip of the keys.
const std::vector<std::string> HeaderKeys = {"title",  "music", "bpm",         "width",
                                             "height", "jump",  "rowsPerBeat", "sync"};

// How the check and the loader name a block: its identifier, or its words when it has none.
std::string BlockName(const OrvScriptNode& block) {
    return block.Id().empty() ? block.JoinedArgs() : block.Id();
}

// The width of a line's leading spaces and tabs (a tab reaching the next multiple of four);
// only compared between lines, so the tab width matters little. Counting stops at a width
// no script indents by, so a line of millions of spaces cannot overflow it.
int Indentation(const std::string& line) {
    const int limit = 1 << 20;
    int columns = 0;
    for (char c : line) {
        if (c == ' ')
            ++columns;
        else if (c == '\t')
            columns += 4 - columns % 4;
        else
            break;
        if (columns > limit)
            break;
    }
    return columns;
}
} // namespace

OrvAsciiScriptLoader::OrvAsciiScriptLoader(OrvDiagnostics& diagnostics)
    : diagnostics(diagnostics), header(nullptr), objects(nullptr), script(nullptr),
      renderLines(nullptr), beatLength(0), barLength(0), endPosition(0), unclosedBlock(nullptr),
      misplacedFromLine(0), strayBraceLine(0) {}

OrvAsciiScriptLoader::~OrvAsciiScriptLoader() {}

bool OrvAsciiScriptLoader::Load(const char* path) {
    std::string name = path ? path : "";
    return Load(name, name);
}

bool OrvAsciiScriptLoader::Load(const std::string& name, const std::string& shown) {
    // Only a regular file is a script. A directory opens as a stream on Linux and then fails
    // to read, and a named pipe would wait for a writer; both count as not opening. Whatever
    // the check missed, a read error shows in the stream afterwards.
    struct stat status;
    bool regular = stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    std::ifstream in;
    if (regular)
        in.open(name, std::ios::binary);
    if (!regular || !in.is_open()) {
        diagnostics.Report(1, OrvMessageKind::CouldNotOpen, shown, "Could not open " + shown);
        return false;
    }
    Parse(in);
    if (in.bad()) {
        // A file cut off by a read error is not loaded half: nothing of it stays in the tree.
        root = OrvScriptNode();
        diagnostics.Report(1, OrvMessageKind::CouldNotOpen, shown, "Could not open " + shown);
        return false;
    }
    bool blocksFound;
    if (unclosedBlock && misplacedFromLine > 0) {
        // Every line from there on is one block too deep: that one "}" is the mistake, and
        // what follows from it (a block gone missing, say) would only hide it.
        diagnostics.Report(1, OrvMessageKind::UnclosedBlock, BlockName(*unclosedBlock),
                           UnclosedBlockMessage(*unclosedBlock, misplacedFromLine),
                           OrvDiagnostics::ScriptFile, unclosedBlock->Line());
        OrvDiagnostics::ScopedMute mute(diagnostics);
        CheckBlocks(shown);
        blocksFound = false;
    } else {
        blocksFound = CheckBlocks(shown);
    }
    CheckHeaderKeys();
    // Worked out even when a block is missing, so that a check can go on with the timeline.
    beatLength = 60000.0 / NumericValue(Bpm);
    barLength = 4 * beatLength;
    return blocksFound;
}

void OrvAsciiScriptLoader::Parse(std::istream& in) {
    // The blocks being read, innermost last, each with the indentation of its opening line;
    // the root is always at the bottom. A block whose lines are indented (it stands right of
    // the line of the block around it, or its first line right of its own) ends, by its
    // indentation, at its first line that stands no further right than its own: where its
    // "}" should have been, if the file ends in it.
    struct OpenBlock {
        OrvScriptNode* node;
        int indentation;
        bool indented;
        int outdentedLine; // 0 while every line stood right of the block's own
    };
    std::vector<OpenBlock> open;
    open.push_back(OpenBlock{&root, -1, false, 0});
    // The first block, since the last top-level block opened, closed by a "}" further left
    // than its opening line: where a missing "}" most likely is, if the file ends in a block.
    // From its outdented line, or else from that "}", the lines are one block too deep.
    const OrvScriptNode* closedByOuterBrace = nullptr;
    int closedByOuterBraceFrom = 0;
    unclosedBlock = nullptr;
    misplacedFromLine = 0;
    strayBraceLine = 0;
    int number = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (number < INT_MAX) // past two thousand million lines the number stays put
            ++number;
        // Read as text: a carriage return before the line feed is not part of the line.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        int indentation = Indentation(line);
        OrvStringUtils::Chop(line);
        if (line == "}") {
            if (open.size() == 1) {
                strayBraceLine = number;
                break; // a stray top-level "}" ends the file
            }
            if (!closedByOuterBrace && indentation < open.back().indentation) {
                closedByOuterBrace = open.back().node;
                closedByOuterBraceFrom =
                    open.back().outdentedLine > 0 ? open.back().outdentedLine : number;
            }
            open.pop_back();
            continue;
        }
        std::deque<std::string> words = OrvStringUtils::SmartSplit(line, " \t\n");
        if (words.empty())
            continue;
        bool opensBlock = words.back() == "{";
        if (opensBlock)
            words.pop_back();

        std::string identifier;
        if (words.size() == 1) {
            identifier = words.front(); // a lone word keeps its colon
            words.clear();
        } else if (words.size() > 1 && words.front().back() == ':') {
            identifier = words.front().substr(0, words.front().size() - 1);
            words.pop_front();
        }
        OpenBlock& block = open.back();
        if (open.size() > 1) {
            if (block.node->ChildCount() == 0 && indentation > block.indentation)
                block.indented = true;
            if (block.indented && block.outdentedLine == 0 && indentation <= block.indentation)
                block.outdentedLine = number;
        }
        OrvScriptNode* current = block.node;
        current->AddChild(OrvScriptNode(identifier, words, number));
        if (opensBlock) {
            if (open.size() == 1)
                closedByOuterBrace = nullptr;
            bool indented = open.size() > 1 && indentation > block.indentation;
            open.push_back(OpenBlock{current->Last(), indentation, indented, 0});
        }
    }
    // The end of the file closes every open block silently; a check names the likely one.
    if (open.size() > 1) {
        unclosedBlock = closedByOuterBrace ? closedByOuterBrace : open.back().node;
        misplacedFromLine = closedByOuterBrace ? closedByOuterBraceFrom : open.back().outdentedLine;
    }
}

std::string OrvAsciiScriptLoader::UnclosedBlockMessage(const OrvScriptNode& block, int from) {
    return "block \"" + BlockName(block) + "\" is never closed: from line " + std::to_string(from) +
           " on, every line is read one block too deep (what follows from that is not listed)";
}

void OrvAsciiScriptLoader::CheckHeaderKeys() {
    if (!header)
        return;
    for (const OrvScriptNode* line : header->Children()) {
        if (!line || (misplacedFromLine > 0 && line->Line() >= misplacedFromLine))
            continue;
        const std::string& key = line->Id();
        // A block inside the header, or a "}" with more on its line, is a brace gone wrong,
        // which the check names as such; not a key.
        if (line->ChildCount() > 0 || key == "}" || key == "header" || key == "objects" ||
            key == "script" || key == "renderLines")
            continue;
        bool known = false;
        for (const std::string& headerKey : HeaderKeys)
            known = known || key == headerKey;
        if (known)
            continue;
        // Read by nobody: the show plays, without what the line meant to say.
        std::string shown = key.empty() ? line->ToString() : key;
        diagnostics.Report(0, OrvMessageKind::UnknownHeaderKey, shown,
                           "Unknown header key: " + shown +
                               OrvSimilarWords::Suggest(key, HeaderKeys),
                           OrvDiagnostics::ScriptFile, line->Line());
    }
}

bool OrvAsciiScriptLoader::CheckBlocks(const std::string& shown) {
    header = root["header"];
    objects = root["objects"];
    script = root["script"];
    renderLines = root["renderLines"];
    const char* missing = !header        ? "header"
                          : !objects     ? "objects"
                          : !script      ? "script"
                          : !renderLines ? "renderlines"
                                         : nullptr;
    if (!missing)
        return true;
    diagnostics.Report(1, OrvMessageKind::MissingBlock, missing,
                       std::string("Missing block: ") + missing, OrvDiagnostics::ScriptFile, 0);
    diagnostics.Report(1, OrvMessageKind::ErrorInFile, shown, "An error in " + shown);
    return false;
}

const OrvScriptNode* OrvAsciiScriptLoader::HeaderValue(const char* key) const {
    return header ? (*header)[key] : nullptr;
}

std::string OrvAsciiScriptLoader::StringValue(OrvScriptLoaderStringValueId id) {
    const char* key = id == Title ? "title" : id == Music ? "music" : nullptr;
    const OrvScriptNode* value = key ? HeaderValue(key) : nullptr;
    return value ? value->JoinedArgs() : "undefined";
}

double OrvAsciiScriptLoader::NumericValue(OrvScriptLoaderNumericValueId id) {
    if (id == EndPosition)
        return static_cast<double>(endPosition);
    std::string text = NumericText(id);
    return text.empty() ? 0.0 : std::atof(text.c_str());
}

std::string OrvAsciiScriptLoader::NumericText(OrvScriptLoaderNumericValueId id) {
    const char* key = nullptr;
    switch (id) {
    case Bpm:
        key = "bpm";
        break;
    case Width:
        key = "width";
        break;
    case Height:
        key = "height";
        break;
    case Jump:
        key = "jump";
        break;
    case EndPosition:
        break;
    }
    const OrvScriptNode* value = key ? HeaderValue(key) : nullptr;
    return value ? value->JoinedArgs() : "";
}

std::vector<OrvScriptNode*> OrvAsciiScriptLoader::Objects() {
    return objects
               ? std::vector<OrvScriptNode*>(objects->Children().begin(), objects->Children().end())
               : std::vector<OrvScriptNode*>();
}

std::vector<OrvScriptNode*> OrvAsciiScriptLoader::RenderLines() {
    return renderLines ? std::vector<OrvScriptNode*>(renderLines->Children().begin(),
                                                     renderLines->Children().end())
                       : std::vector<OrvScriptNode*>();
}

bool OrvAsciiScriptLoader::ProcessScript(OrvParameterManager& parameters) {
    if (!script) {
        diagnostics.Report(1, "Missing block: script");
        return false;
    }
    OrvTimeline timeline(root, beatLength, parameters, endPosition, diagnostics);
    return timeline.Process(*script);
}

bool OrvAsciiScriptLoader::CheckScript(OrvParameterManager& parameters,
                                       IOrvTimelineObserver& observer) {
    if (!script) {
        diagnostics.Report(1, "Missing block: script");
        return false;
    }
    OrvTimeline timeline(root, beatLength, parameters, endPosition, diagnostics, &observer);
    return timeline.Process(*script);
}

const OrvScriptNode& OrvAsciiScriptLoader::Root() const {
    return root;
}
