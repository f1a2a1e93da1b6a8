#ifndef ORV_SCRIPT_ORVASCIISCRIPTLOADER_H
#define ORV_SCRIPT_ORVASCIISCRIPTLOADER_H

// Reads "script.txt" into a node tree: one node per line that has words, the lines of a block
// ("... {" up to a line that is exactly "}") as its children. The file must have the top-level
// blocks header, objects, script and renderLines; other top-level blocks are kept and may be
// called from the timeline.
//
// Reading never fails on content: any bytes give some tree (NUL bytes and invalid UTF-8 are
// just bytes, lines have no length limit, the last line needs no line feed, an unclosed block
// ends with the file, a stray top-level "}" ends the reading). Nesting is read without
// recursion, so depth is no danger. Load does fail, with "Could not open " and the path, when
// the path is not a regular file it can open (a missing file, a directory, a named pipe) or
// when reading breaks off with an error; the tree is then left empty.
//
// Every node remembers the number of its line in the file (from 1). A block whose missing "}"
// put the lines after it one block too deep (MisplacedFromLine) fails Load with one message
// at the block's line, before anything else and instead of what follows from it:
//   block "NAME" is never closed: from line N on, every line is read one block too deep (what
//   follows from that is not listed)
// A header line whose key is none of title, music, bpm, width, height, jump, rowsPerBeat and
// sync is a warning at its line, "Unknown header key: " + the key with "Did you mean" and the
// keys it is near (OrvSimilarWords); the show still plays. For checking a script,
// the loader also remembers where the braces went wrong (UnclosedBlock, MisplacedFromLine,
// StrayBraceLine), and CheckScript processes the timeline without stopping at the first
// failed line.
//
// Ownership: the loader owns the tree; every node pointer it hands out is borrowed and valid
// while the loader lives.

#include "script/IOrvScriptLoader.h"
#include "script/OrvScriptNode.h"

class IOrvTimelineObserver;
class OrvDiagnostics;

#include <cstdint>
#include <istream>

class OrvAsciiScriptLoader : public IOrvScriptLoader {
public:
    // What the loader and the timeline report goes to `diagnostics` (borrowed).
    explicit OrvAsciiScriptLoader(OrvDiagnostics& diagnostics);
    ~OrvAsciiScriptLoader() override;

    bool Load(const char* path) override;
    // The same, naming the file as `shown` in messages.
    bool Load(const std::string& path, const std::string& shown);
    std::string StringValue(OrvScriptLoaderStringValueId id) override;
    double NumericValue(OrvScriptLoaderNumericValueId id) override;
    std::string NumericText(OrvScriptLoaderNumericValueId id) override;
    std::vector<OrvScriptNode*> Objects() override;
    std::vector<OrvScriptNode*> RenderLines() override;
    bool ProcessScript(OrvParameterManager& parameters) override;
    // ProcessScript for checking a script: a failed line is reported like there but does not
    // stop its block, and the observer hears of every line before and after it is processed
    // (its messages come in between). False when any line failed or the block is missing.
    bool CheckScript(OrvParameterManager& parameters, IOrvTimelineObserver& observer);

    // The whole tree; its children are the file's top-level lines.
    const OrvScriptNode& Root() const;
    // Parses a stream into the tree without the block check (Load uses it for the file).
    void Parse(std::istream& in);

    // When the file ended with blocks still open, the block most likely missing its "}":
    // the first block, since the last top-level block opened, that a "}" standing further
    // left than its own opening line closed (a "}" meant for an enclosing block), else the
    // innermost block still open. Null when every block was closed.
    const OrvScriptNode* UnclosedBlock() const { return unclosedBlock; }
    // With an unclosed block, the first line its missing "}" put in a block it was not
    // written in: the block's first line that stands no further right than its own opening
    // line (if the block's lines are indented), else the "}" further left that closed it.
    // From there to the end of the file every line is read one block too deep. 0 when no
    // line is misplaced (the file just ended inside the block) or indentation gives no clue.
    int MisplacedFromLine() const { return misplacedFromLine; }
    // The line of a top-level "}" that ended the reading early; 0 when there was none.
    int StrayBraceLine() const { return strayBraceLine; }
    // What Load says, at the block's line, when a missing "}" misplaced the lines from `from`.
    static std::string UnclosedBlockMessage(const OrvScriptNode& block, int from);

private:
    OrvAsciiScriptLoader(const OrvAsciiScriptLoader&) = delete;
    OrvAsciiScriptLoader& operator=(const OrvAsciiScriptLoader&) = delete;

    bool CheckBlocks(const std::string& shown);
    void CheckHeaderKeys();
    const OrvScriptNode* HeaderValue(const char* key) const;

    OrvDiagnostics& diagnostics;
    OrvScriptNode root;
    OrvScriptNode* header;
    OrvScriptNode* objects;
    OrvScriptNode* script;
    OrvScriptNode* renderLines;
    double beatLength;
    double barLength;
    uint32_t endPosition;
    const OrvScriptNode* unclosedBlock;
    int misplacedFromLine;
    int strayBraceLine;
};

#endif
