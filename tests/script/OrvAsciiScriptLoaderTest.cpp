#include "script/OrvAsciiScriptLoader.h"

#include "base/OrvDiagnostics.h"
#include "script/OrvScriptTestText.h"
#include "support/OrvTestFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {
typedef IOrvScriptLoader L;

std::deque<std::string> Words(std::initializer_list<const char*> words) {
    return std::deque<std::string>(words.begin(), words.end());
}

struct Loaded {
    OrvTestFolder folder;
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader{diagnostics};
    std::string path;
    bool ok = false;
    explicit Loaded(const std::string& text) {
        path = folder.WriteData("script.txt", text);
        ok = loader.Load(path.c_str());
    }
};
} // namespace

TEST(OrvAsciiScriptLoader, LinesBecomeIdentifiersArgumentsAndBlocks) {
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader(diagnostics);
    std::istringstream in("header {\n"
                          "  title: \"Winter demo\"\n"
                          "  width: 800\n"
                          "}\n"
                          "4.5 obj1.x = 2\n"
                          "fade: target time {\n"
                          "objects: {\n"
                          "}\n"
                          "}\n");
    loader.Parse(in);
    const OrvScriptNode& root = loader.Root();
    ASSERT_EQ(3, root.ChildCount());
    const OrvScriptNode* header = root[0];
    EXPECT_EQ("header", header->Id());
    EXPECT_TRUE(header->Args().empty());
    EXPECT_EQ("title", (*header)[0]->Id());
    EXPECT_EQ(Words({"Winter demo"}), (*header)[0]->Args());
    EXPECT_EQ(Words({"800"}), (*header)["width"]->Args());
    EXPECT_EQ("", root[1]->Id());
    EXPECT_EQ(Words({"4.5", "obj1.x", "=", "2"}), root[1]->Args());
    const OrvScriptNode* fade = root[2];
    EXPECT_EQ("fade", fade->Id());
    EXPECT_EQ(Words({"target", "time"}), fade->Args());
    ASSERT_EQ(1, fade->ChildCount());
    EXPECT_EQ("objects:", (*fade)[0]->Id()); // a lone word keeps its colon
}

TEST(OrvAsciiScriptLoader, HeaderValues) {
    Loaded s(OrvScriptWith("title: \"Two  spaces\"\nmusic: a  b   c\nbpm: 120\n"
                           "width: 800px\nheight: tall\njump: 30\n",
                           ""));
    ASSERT_TRUE(s.ok);
    EXPECT_EQ("Two  spaces", s.loader.StringValue(L::Title));
    EXPECT_EQ("a b c", s.loader.StringValue(L::Music));
    EXPECT_EQ(120, s.loader.NumericValue(L::Bpm));
    EXPECT_EQ(800, s.loader.NumericValue(L::Width));
    EXPECT_EQ(0, s.loader.NumericValue(L::Height));
    EXPECT_EQ(30, s.loader.NumericValue(L::Jump));
    EXPECT_EQ(0, s.loader.NumericValue(L::EndPosition));
    EXPECT_EQ("undefined", s.loader.StringValue(static_cast<L::OrvScriptLoaderStringValueId>(7)));
    EXPECT_EQ(0, s.loader.NumericValue(static_cast<L::OrvScriptLoaderNumericValueId>(9)));
    EXPECT_EQ("", s.diagnostics.Text());
}

TEST(OrvAsciiScriptLoader, LoneKeyWordsAndMissingKeys) {
    Loaded colon(OrvScriptWith("title:\n", ""));
    ASSERT_TRUE(colon.ok);
    EXPECT_EQ("undefined", colon.loader.StringValue(L::Title)); // identifier is "title:"
    EXPECT_EQ("undefined", colon.loader.StringValue(L::Music));
    EXPECT_EQ(0, colon.loader.NumericValue(L::Bpm));

    Loaded bare(OrvScriptWith("title\n", ""));
    ASSERT_TRUE(bare.ok);
    EXPECT_EQ("", bare.loader.StringValue(L::Title));
}

TEST(OrvAsciiScriptLoader, ObjectsAndRenderLinesInOrderAndBlocksInAnyOrder) {
    Loaded s("renderLines {\n  main: a b\n}\nscript {\n}\nobjects {\n  image: one {\n  }\n"
             "  camera: two\n}\nheader {\n}\nobjects {\n  ignored: x\n}\n");
    ASSERT_TRUE(s.ok);
    std::vector<OrvScriptNode*> objects = s.loader.Objects();
    ASSERT_EQ(2u, objects.size());
    EXPECT_EQ("image", objects[0]->Id());
    EXPECT_EQ("two", objects[1]->JoinedArgs());
    ASSERT_EQ(1u, s.loader.RenderLines().size());
    EXPECT_EQ("main", s.loader.RenderLines()[0]->Id());
}

TEST(OrvAsciiScriptLoader, WindowsLineEndsParseTheSame) {
    std::string unix = OrvScriptWith("title: t\nbpm: 90\n", "0 a = 1\n");
    std::string windows;
    for (char c : unix) {
        if (c == '\n')
            windows += '\r';
        windows += c;
    }
    Loaded a(unix), b(windows);
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ("t", b.loader.StringValue(L::Title));
    EXPECT_EQ(90, b.loader.NumericValue(L::Bpm));
    EXPECT_EQ(a.loader.Root()["script"]->operator[](0)->Args(),
              b.loader.Root()["script"]->operator[](0)->Args());
}

TEST(OrvAsciiScriptLoader, MissingFileAndMissingBlocksAreReportedInOrder) {
    {
        OrvDiagnostics diagnostics;
        OrvAsciiScriptLoader loader(diagnostics);
        EXPECT_FALSE(loader.Load("../data/nothing-here.txt"));
        EXPECT_EQ("Could not open ../data/nothing-here.txt\n", diagnostics.Text());
    }
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"objects {\n}\nscript {\n}\nrenderLines {\n}\n", "Missing block: header"},
        {"header {\n}\nscript {\n}\nrenderLines {\n}\n", "Missing block: objects"},
        {"header {\n}\nobjects {\n}\nrenderLines {\n}\n", "Missing block: script"},
        {"header {\n}\nobjects {\n}\nscript {\n}\n", "Missing block: renderlines"},
        // A colon after the block name makes it another identifier.
        {"header {\n}\nobjects: {\n}\nscript {\n}\nrenderLines {\n}\n", "Missing block: objects"},
        // A stray top-level "}" ends the reading.
        {"header {\n}\n}\nobjects {\n}\nscript {\n}\nrenderLines {\n}\n", "Missing block: objects"},
        // Nothing at all: only the first missing block is named.
        {"", "Missing block: header"},
    };
    for (const Case& c : cases) {
        Loaded s(c.text);
        EXPECT_FALSE(s.ok) << c.text;
        EXPECT_EQ(c.message + std::string("\nAn error in ") + s.path + "\n", s.diagnostics.Text());
    }
}

// A "}" left out that puts the lines after it one block too deep fails the load with one
// message at the block's line, and no "Missing block" for the blocks it moved; the header's
// keys nobody reads are warnings at their lines, with the keys they are near.
TEST(OrvAsciiScriptLoader, AMissingBraceIsOneErrorAndUnknownHeaderKeysAreWarnings) {
    Loaded braces("header {\n"               // 1
                  "}\n"                      // 2
                  "objects {\n"              // 3
                  "    pic: image a.png {\n" // 4
                  "        col.a: 0.5\n"     // 5
                  "    other: image a.png\n" // 6
                  "}\n"                      // 7
                  "renderLines {\n"          // 8
                  "}\n"                      // 9
                  "script {\n"               // 10
                  "}\n");                    // 11
    EXPECT_FALSE(braces.ok);
    EXPECT_EQ("script.txt:4: block \"pic\" is never closed: from line 6 on, every line is read "
              "one block too deep (what follows from that is not listed)\n",
              braces.diagnostics.Log());

    Loaded keys(OrvScriptWith("bmp: 128\nwidth: 640\ntitel: x\ncolour: red\n", ""));
    EXPECT_TRUE(keys.ok);
    EXPECT_FALSE(keys.diagnostics.HasError());
    EXPECT_EQ("Unknown header key: bmp\nDid you mean:\n\nbpm\n"
              "Unknown header key: titel\nDid you mean:\n\ntitle\n"
              "Unknown header key: colour\n",
              keys.diagnostics.Text());
    ASSERT_EQ(3u, keys.diagnostics.Records().size());
    EXPECT_EQ("bmp", keys.diagnostics.Records()[0].subject);
    EXPECT_EQ(OrvMessageKind::UnknownHeaderKey, keys.diagnostics.Records()[0].kind);
    EXPECT_EQ(0, keys.diagnostics.Records()[0].severity);
    EXPECT_GT(keys.diagnostics.Records()[0].line, 0);
}

TEST(OrvAsciiScriptLoader, ClosingBraceWithCommentAndUnclosedBlocks) {
    // "} # done" is not a closing line; the file ends the open blocks silently.
    Loaded s("header {\n  title: x\n} # done\nobjects {\nscript {\nrenderLines {\n");
    EXPECT_FALSE(s.ok);
    const OrvScriptNode* header = s.loader.Root()["header"];
    ASSERT_NE(nullptr, header);
    EXPECT_EQ("}", (*header)[1]->Id());
    EXPECT_EQ(1, s.loader.Root().ChildCount()); // everything else nested inside header

    Loaded open("header {\n}\nobjects {\n}\nscript {\n}\nrenderLines {\n  main: a\n");
    EXPECT_TRUE(open.ok);
    EXPECT_EQ(1u, open.loader.RenderLines().size());
}

TEST(OrvAsciiScriptLoader, SurvivesHostileBytes) {
    std::string nul("header {\n title: a\0b\n}\n", 23);
    std::string megaLine(4 * 1024 * 1024, 'x');
    std::string invalidUtf8 = "\xff\xfe\xc3\x28 \xa0\xa1 = \xe2\x82\n";
    std::string inputs[] = {
        nul + "objects {\n}\nscript {\n}\nrenderLines {\n}",
        OrvScriptWith("title: " + megaLine + "\n", megaLine + "\n"),
        OrvScriptWith("", invalidUtf8),
        std::string(100000, '}'),
        "}\n}\n}\n}\n",
        std::string("\0\0\0\n{\n\0", 7),
        "header { \"unterminated \\",
    };
    for (const std::string& input : inputs) {
        Loaded s(input);
        (void)s.ok; // any outcome is fine as long as it returns
    }
    Loaded withNul(nul + "objects {\n}\nscript {\n}\nrenderLines {\n}");
    ASSERT_TRUE(withNul.ok);
    EXPECT_EQ(std::string("a\0b", 3), withNul.loader.StringValue(L::Title));
    Loaded mega(OrvScriptWith("title: " + megaLine + "\n", ""));
    ASSERT_TRUE(mega.ok);
    EXPECT_EQ(megaLine, mega.loader.StringValue(L::Title));
    Loaded braces("}\n}\n}\n");
    EXPECT_FALSE(braces.ok);
}

TEST(OrvAsciiScriptLoader, AMillionNestedBlocksLoadAndUnload) {
    std::string text = OrvScriptWith("", "");
    for (int i = 0; i < 1000000; ++i)
        text += "{\n";
    Loaded s(text);
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(5, s.loader.Root().ChildCount());
}

TEST(OrvAsciiScriptLoader, WhatCannotBeReadFailsLikeAMissingFile) {
    // A directory where the script should be.
    {
        OrvTestFolder folder;
        std::string path = folder.DataPath("script.txt");
        ASSERT_EQ(0, mkdir(path.c_str(), 0700));
        OrvDiagnostics diagnostics;
        OrvAsciiScriptLoader loader(diagnostics);
        EXPECT_FALSE(loader.Load(path.c_str()));
        EXPECT_EQ("Could not open " + path + "\n", diagnostics.Text());
        EXPECT_EQ(0, loader.Root().ChildCount());
    }
    // A regular file whose reading fails: this process's memory file, read from address 0.
    std::ifstream probe("/proc/self/mem", std::ios::binary);
    std::string line;
    if (!probe.is_open() || std::getline(probe, line) || !probe.bad())
        GTEST_SKIP() << "/proc/self/mem does not give a read error here";
    OrvDiagnostics diagnostics;
    OrvAsciiScriptLoader loader(diagnostics);
    EXPECT_FALSE(loader.Load("/proc/self/mem"));
    EXPECT_EQ("Could not open /proc/self/mem\n", diagnostics.Text());
}
