#ifndef ORV_ENTRY_ORVMISPLACEDLINES_H
#define ORV_ENTRY_ORVMISPLACEDLINES_H

// What a missing "}" explains, for the script check. From the first line the loader found
// misplaced (OrvAsciiScriptLoader::MisplacedFromLine) to the end of the file every line is
// read one block too deep: objects become keys of the object before them, top-level blocks
// become objects, timeline lines run inside the loop before them. Whatever the check would
// say about those lines follows from the one missing "}", so the check leaves it out and
// names the block instead.
//
// The questions are asked while the check runs and always read the loader's current tree,
// so they hold as soon as the loader has read the file, before it reports what it found.
// Borrows the loader, which must outlive it; owns nothing and reports nothing itself.

#include <string>

class OrvAsciiScriptLoader;
class OrvScriptNode;

class OrvMisplacedLines {
public:
    explicit OrvMisplacedLines(const OrvAsciiScriptLoader& loader);

    // True for a line at or past the first misplaced one; never for line 0.
    bool Contains(int line) const;
    // True when a line written at the top level is misplaced: which top-level blocks the file
    // has ("Missing block: ...") then follows from the missing "}" as well.
    bool HasTopLevelLines() const;
    // True when a misplaced line meant for the top level has this identifier: a call of that
    // block ("Sub node not found: NAME") fails because of the missing "}".
    bool MovedBlock(const std::string& name) const;
    // True when the node's block has lines nobody read and every one of them is misplaced
    // (an object's "Initialization failed due to unidentified parameters ...").
    bool OnlyMisplacedUnread(const OrvScriptNode& node) const;

private:
    // The first misplaced line meant for the top level with the identifier (any when null).
    const OrvScriptNode* TopLevelLine(const std::string* name) const;

    const OrvAsciiScriptLoader& loader;
};

#endif
