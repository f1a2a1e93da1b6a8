#include "entry/OrvMisplacedLines.h"

#include "script/OrvAsciiScriptLoader.h"
#include "script/OrvScriptNode.h"

OrvMisplacedLines::OrvMisplacedLines(const OrvAsciiScriptLoader& loader) : loader(loader) {}

bool OrvMisplacedLines::Contains(int line) const {
    int from = loader.MisplacedFromLine();
    return from > 0 && line >= from;
}

bool OrvMisplacedLines::HasTopLevelLines() const {
    return TopLevelLine(nullptr) != nullptr;
}

bool OrvMisplacedLines::MovedBlock(const std::string& name) const {
    return TopLevelLine(&name) != nullptr;
}

const OrvScriptNode* OrvMisplacedLines::TopLevelLine(const std::string* name) const {
    // One block too deep: a misplaced line meant for the top level is a child of a top-level
    // block.
    for (const OrvScriptNode* block : loader.Root().Children()) {
        if (!block)
            continue;
        for (const OrvScriptNode* line : block->Children())
            if (line && Contains(line->Line()) && (!name || line->Id() == *name))
                return line;
    }
    return nullptr;
}

bool OrvMisplacedLines::OnlyMisplacedUnread(const OrvScriptNode& node) const {
    bool unread = false;
    for (const OrvScriptNode* line : node.Children()) {
        if (!line || line->IsProcessed())
            continue;
        if (!Contains(line->Line()))
            return false;
        unread = true;
    }
    return unread;
}
