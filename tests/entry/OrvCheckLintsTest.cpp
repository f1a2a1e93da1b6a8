// The script check's findings, each run alone on a script read from a file: no window and no
// loaded objects are needed for these.

#include "entry/OrvCheckLints.h"

#include "audio/OrvMusicAnalysis.h"
#include "base/OrvDiagnostics.h"
#include "script/OrvAsciiScriptLoader.h"
#include "support/OrvTestFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Listed(const OrvCheckLints::Findings& findings) {
    std::string text;
    for (const OrvCheckLints::Finding& finding : findings)
        text += finding.file + ":" + std::to_string(finding.line) + ":" +
                std::to_string(finding.severity) + ": " + finding.text + "\n";
    return text;
}
} // namespace

TEST(OrvCheckLints, EachFindsWhatItIsForInAScriptAlone) {
    const struct {
        const char* what;
        std::string script;
        std::string braces;
        std::string music;
        int barsLine;
        std::string bars;
    } cases[] = {
        {"a clean script", "header {\n  music: gone.ogg\n}\nscript {\n}\n", "",
         ":2:0: warning: music file cannot be loaded: gone.ogg\n", 0, ""},
        {"no music key, a stray brace, a brace with a comment",
         "header {\n  bpm: 120\n} # header\nscript {\n}\n}\n}\n",
         ":7:0: warning: \"}\" closes no block: the rest of the file is ignored\n"
         ":3:0: warning: \"}\" with more on its line does not close a block\n",
         ":1:0: warning: no music key: the show plays silently\n", 0, ""},
        {"a file that ends inside a block, with nothing misplaced",
         "header {\nmusic: gone.ogg\n}\nscript {\n0 end\n",
         ":4:0: warning: block \"script\" is never closed\n",
         ":2:0: warning: music file cannot be loaded: gone.ogg\n", 0, ""},
        {"bar times without a bpm: the note is at the header", "script {\n}\n\nheader {\n}\n", "",
         ":4:0: warning: no music key: the show plays silently\n", 12,
         ":4:0: note: the header has no bpm above 0, which times in bars and beats need (the "
         "first is on line 12): add one, as in bpm: 120\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OrvTestFolder folder;
        folder.WriteData("script.txt", c.script);
        OrvDiagnostics diagnostics;
        OrvAsciiScriptLoader loader(diagnostics);
        loader.Load(folder.DataPath("script.txt"), "script.txt"); // blocks are missing
        EXPECT_EQ(c.braces, Listed(OrvCheckLints::Braces(loader)));
        OrvMusicAnalysis nothing;
        EXPECT_EQ(c.music, Listed(OrvCheckLints::Music(loader, "/nonexistent", nothing)));
        EXPECT_EQ(c.bars, Listed(OrvCheckLints::BarsWithoutBpm(loader, c.barsLine)));
    }
}
