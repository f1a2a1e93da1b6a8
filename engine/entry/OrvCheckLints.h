#ifndef ORV_ENTRY_ORVCHECKLINTS_H
#define ORV_ENTRY_ORVCHECKLINTS_H

// The script check's own findings, each a function over what the show read or loaded, so each
// can be run and tested alone; the checker (OrvScriptChecker) runs them after loading and
// lists what they find. They report nothing themselves and keep nothing.
//   Braces          a file that ends inside a block with no line misplaced, a "}" too many,
//                   a "}" with more on its line (the loader alone)
//   ObjectUse       no end command; an object never enabled, or in no render line (the
//                   loaded show; objects named on failed timeline lines are spared)
//   Music           no music key, a music file that cannot be loaded, a bpm off the tempo
//   Pictures        the two start-up pictures (their files' own errors)
//   BarsWithoutBpm  the header's note, when a timeline line used bar times without a bpm
// A finding of the script has file "" and the line (0: the script as a whole); a warning's
// text starts "warning: ". Findings about another file (a start-up picture) name it, with
// line 0.

#include <set>
#include <string>
#include <vector>

class OrvAsciiScriptLoader;
class OrvMusicAnalysis;
class OrvObjectManager;
class OrvParameterManager;
class OrvRenderLineManager;
class OrvSceneContext;

class OrvCheckLints {
public:
    struct Finding {
        std::string file; // "" for the script
        int line;
        int severity; // 1 an error, 0 a warning or a note
        std::string text;
    };
    typedef std::vector<Finding> Findings;

    static Findings Braces(const OrvAsciiScriptLoader& loader);
    static Findings ObjectUse(OrvAsciiScriptLoader& loader, const OrvObjectManager& objects,
                              const OrvRenderLineManager& renderLines,
                              const OrvParameterManager& parameters,
                              const std::set<std::string>& wordsOfFailedLines);
    static Findings Music(OrvAsciiScriptLoader& loader, const std::string& dataFolder,
                          const OrvMusicAnalysis& musicAnalysis);
    static Findings Pictures(OrvSceneContext& scene);
    // `firstLine`: the first timeline line with a bar time and no bpm; 0 for none.
    static Findings BarsWithoutBpm(const OrvAsciiScriptLoader& loader, int firstLine);
};

#endif
