#ifndef ORV_BASE_ORVSIMILARWORDS_H
#define ORV_BASE_ORVSIMILARWORDS_H

// The "Did you mean" of a word nobody knows (a header key, an object's class word or key, an
// object name in a render line): the known words a typing slip away from it. A word is near
// when its edit distance (insertions, deletions, replacements, and swaps of two neighbours
// each count 1; letter case counts half) is at most a third of the longer word's length, at
// least 1; the nearest come first, equal ones in the order given. At most MaxWords.
//
// Suggest's text is what follows the message: "\nDid you mean:\n\n" and the words one a line,
// or "" when none is near, the form the parameter manager gives unknown parameters. Holds no
// state; callers pass the known words each time.

#include <string>
#include <vector>

class OrvSimilarWords {
public:
    static constexpr std::size_t MaxWords = 10;

    static std::vector<std::string> Near(const std::string& word,
                                         const std::vector<std::string>& known);
    static std::string Suggest(const std::string& word, const std::vector<std::string>& known);
};

#endif
