#include "script/OrvScriptNode.h"

#include <cstring>
#include <utility>
#include <vector>

OrvScriptNode::OrvScriptNode() : processed(false), line(0) {}

OrvScriptNode::OrvScriptNode(const std::string& identifier,
                             const std::deque<std::string>& arguments, int line)
    : identifier(identifier), arguments(arguments.begin(), arguments.end()), processed(false),
      line(line) {}

OrvScriptNode::OrvScriptNode(const OrvScriptNode& other) : processed(false), line(0) {
    CopyFrom(other);
}

OrvScriptNode& OrvScriptNode::operator=(const OrvScriptNode& other) {
    if (this != &other) {
        // Copy first: the other node may live inside our own subtree.
        OrvScriptNode copy(other);
        DeleteChildren();
        identifier = std::move(copy.identifier);
        arguments = std::move(copy.arguments);
        children = std::move(copy.children);
        copy.children.clear();
        processed = copy.processed;
        line = copy.line;
    }
    return *this;
}

OrvScriptNode::~OrvScriptNode() {
    DeleteChildren();
}

void OrvScriptNode::CopyFrom(const OrvScriptNode& other) {
    identifier = other.identifier;
    arguments = other.arguments;
    processed = other.processed;
    line = other.line;
    // Copy the subtree level by level with an explicit work list instead of recursion.
    std::vector<std::pair<const OrvScriptNode*, OrvScriptNode*>> pending;
    pending.emplace_back(&other, this);
    while (!pending.empty()) {
        const OrvScriptNode* source = pending.back().first;
        OrvScriptNode* target = pending.back().second;
        pending.pop_back();
        for (const OrvScriptNode* child : source->children) {
            if (!child)
                continue;
            OrvScriptNode* copy = new OrvScriptNode();
            copy->identifier = child->identifier;
            copy->arguments = child->arguments;
            copy->processed = child->processed;
            copy->line = child->line;
            target->children.push_back(copy);
            pending.emplace_back(child, copy);
        }
    }
}

void OrvScriptNode::DeleteChildren() {
    // Detach every descendant onto a work list, so each node is deleted childless and the
    // destructor never recurses.
    std::vector<OrvScriptNode*> pending(children.begin(), children.end());
    children.clear();
    while (!pending.empty()) {
        OrvScriptNode* node = pending.back();
        pending.pop_back();
        if (!node)
            continue;
        pending.insert(pending.end(), node->children.begin(), node->children.end());
        node->children.clear();
        delete node;
    }
}

void OrvScriptNode::AddChild(const OrvScriptNode& node) {
    children.push_back(new OrvScriptNode(node));
}

int OrvScriptNode::ChildCount() const {
    return static_cast<int>(children.size());
}

OrvScriptNode* OrvScriptNode::operator[](int index) const {
    if (index < 0 || index >= ChildCount())
        return nullptr;
    return children[index];
}

OrvScriptNode* OrvScriptNode::operator[](const char* name) const {
    for (OrvScriptNode* child : children) {
        if (child && child->IdEquals(name))
            return child;
    }
    return nullptr;
}

std::vector<OrvScriptNode*>& OrvScriptNode::Children() {
    return children;
}

const std::vector<OrvScriptNode*>& OrvScriptNode::Children() const {
    return children;
}

OrvScriptNode* OrvScriptNode::Last() const {
    return children.empty() ? nullptr : children.back();
}

std::string OrvScriptNode::Id() const {
    return identifier;
}

bool OrvScriptNode::IdEquals(const char* name) const {
    return name && identifier.size() == std::strlen(name) &&
           identifier.compare(0, identifier.size(), name) == 0;
}

std::deque<std::string> OrvScriptNode::Args() const {
    return std::deque<std::string>(arguments.begin(), arguments.end());
}

const std::vector<std::string>& OrvScriptNode::ArgsRef() const {
    return arguments;
}

std::string OrvScriptNode::JoinedArgs() const {
    std::string joined;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0)
            joined += ' ';
        joined += arguments[i];
    }
    return joined;
}

bool OrvScriptNode::IsProcessed() const {
    return processed;
}

void OrvScriptNode::SetProcessed() {
    processed = true;
}

std::string OrvScriptNode::ToString() const {
    std::string text = identifier;
    if (!arguments.empty()) {
        if (!identifier.empty())
            text += ": ";
        text += JoinedArgs();
    }
    if (!children.empty())
        text += " {";
    return text;
}
