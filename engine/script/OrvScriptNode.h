#ifndef ORV_SCRIPT_ORVSCRIPTNODE_H
#define ORV_SCRIPT_ORVSCRIPTNODE_H

// One parsed script line: an identifier (may be empty), its argument words, the lines of the
// block it opened as children, a flag that the consumer which used the line sets, and the
// number of the line in its file (from 1; 0 for a node that no file line made, such as the
// root), so that messages about the line can say where it stands.
//
// Ownership: a node owns its children and deletes them with itself. Pointers handed out by
// operator[], Last() and Children() are borrowed: they stay valid while the node lives.
// Copying a node copies its whole subtree (a deep copy), so no two nodes ever share a child.
// Copying and destroying work without recursion, so a tree nested a million levels deep is
// no danger to the stack. Arguments and children are kept in vectors: a double-ended queue
// costs over half a kilobyte even when empty, which a file of many short lines multiplies.

#include <deque>
#include <string>
#include <vector>

class OrvScriptNode {
public:
    OrvScriptNode();
    OrvScriptNode(const std::string& identifier, const std::deque<std::string>& arguments,
                  int line = 0);
    OrvScriptNode(const OrvScriptNode& other);
    OrvScriptNode& operator=(const OrvScriptNode& other);
    virtual ~OrvScriptNode();

    // Appends a copy of the node (with a copy of its subtree). The caller keeps its own node;
    // the new child is Last().
    void AddChild(const OrvScriptNode& node);
    int ChildCount() const;
    // The child at the index; null when the index is negative or past the end.
    OrvScriptNode* operator[](int index) const;
    // The first child whose identifier is exactly the name; null when there is none.
    OrvScriptNode* operator[](const char* name) const;
    std::vector<OrvScriptNode*>& Children();
    const std::vector<OrvScriptNode*>& Children() const;
    // The last child; null when there are no children.
    OrvScriptNode* Last() const;

    std::string Id() const;
    bool IdEquals(const char* name) const;
    // A copy of the arguments.
    std::deque<std::string> Args() const;
    // The arguments themselves, for readers that only look.
    const std::vector<std::string>& ArgsRef() const;
    // The arguments joined with single spaces.
    std::string JoinedArgs() const;

    bool IsProcessed() const;
    void SetProcessed();

    // The number of the file line the node was read from; 0 when none.
    int Line() const { return line; }
    void SetLine(int number) { line = number; }

    // The line rebuilt for messages: "pos: 1 2 3", "a b", "header {".
    std::string ToString() const;

private:
    void CopyFrom(const OrvScriptNode& other);
    void DeleteChildren();

    std::string identifier;
    std::vector<std::string> arguments;
    std::vector<OrvScriptNode*> children;
    bool processed;
    int line;
};

#endif
