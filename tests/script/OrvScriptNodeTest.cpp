#include "script/OrvScriptNode.h"

#include <gtest/gtest.h>

namespace {
OrvScriptNode Node(const char* id, std::initializer_list<const char*> args) {
    return OrvScriptNode(id, std::deque<std::string>(args.begin(), args.end()));
}
} // namespace

TEST(OrvScriptNode, LookupsByIndexAndExactName) {
    OrvScriptNode root;
    root.AddChild(Node("pos", {"1"}));
    root.AddChild(Node("pos:", {"2"}));
    root.AddChild(Node("pos", {"3"}));
    EXPECT_EQ(3, root.ChildCount());
    EXPECT_EQ(nullptr, root[-1]);
    EXPECT_EQ(nullptr, root[3]);
    EXPECT_EQ("2", root[1]->Args().front());
    ASSERT_NE(nullptr, root["pos"]);
    EXPECT_EQ("1", root["pos"]->JoinedArgs()); // the first of two with the same name
    EXPECT_EQ(root[1], root["pos:"]);
    EXPECT_EQ(nullptr, root["Pos"]);
    EXPECT_EQ(root[2], root.Last());
    EXPECT_EQ(nullptr, OrvScriptNode().Last());
}

TEST(OrvScriptNode, ArgsIsACopyAndProcessedFlagOnlySets) {
    OrvScriptNode node = Node("a", {"x", "y"});
    std::deque<std::string> args = node.Args();
    args.push_back("z");
    EXPECT_EQ(2u, node.Args().size());
    EXPECT_EQ("x y", node.JoinedArgs());
    EXPECT_FALSE(node.IsProcessed());
    node.SetProcessed();
    EXPECT_TRUE(node.IsProcessed());
}

TEST(OrvScriptNode, ToStringRebuildsTheLine) {
    EXPECT_EQ("pos: 1 2 3", Node("pos", {"1", "2", "3"}).ToString());
    EXPECT_EQ("a b", Node("", {"a", "b"}).ToString());
    OrvScriptNode header = Node("header", {});
    header.AddChild(Node("title", {"x"}));
    EXPECT_EQ("header {", header.ToString());
    OrvScriptNode anonymous;
    anonymous.AddChild(Node("x", {}));
    EXPECT_EQ(" {", anonymous.ToString());
}

TEST(OrvScriptNode, CopiesAreDeepAndIndependent) {
    OrvScriptNode parent = Node("parent", {"p"});
    parent.AddChild(Node("child", {"c"}));
    parent.Last()->AddChild(Node("grandchild", {"g"}));
    parent.SetProcessed();

    OrvScriptNode copy(parent);
    ASSERT_EQ(1, copy.ChildCount());
    EXPECT_NE(parent[0], copy[0]); // no shared ownership
    EXPECT_TRUE(copy.IsProcessed());
    EXPECT_EQ("g", (*copy[0])["grandchild"]->JoinedArgs());

    copy[0]->AddChild(Node("extra", {}));
    EXPECT_EQ(1, parent[0]->ChildCount());

    // Assigning a node its own descendant must not read freed memory.
    parent = *parent[0];
    EXPECT_EQ("child", parent.Id());
    EXPECT_EQ("grandchild", parent[0]->Id());

    OrvScriptNode holder;
    holder.AddChild(copy); // AddChild copies the subtree too
    EXPECT_EQ(2, holder[0]->operator[](0)->ChildCount());
}

TEST(OrvScriptNode, AMillionLevelsDeepCopiesAndDiesWithoutRecursion) {
    OrvScriptNode* root = new OrvScriptNode();
    OrvScriptNode* current = root;
    for (int i = 0; i < 1000000; ++i) {
        current->AddChild(Node("", {"x"}));
        current = current->Last();
    }
    OrvScriptNode* copy = new OrvScriptNode(*root);
    int depth = 0;
    for (OrvScriptNode* n = copy; n->ChildCount() > 0; n = (*n)[0])
        ++depth;
    EXPECT_EQ(1000000, depth);
    delete root;
    delete copy;
}
