#include "base/OrvSimilarWords.h"

#include <algorithm>
#include <cctype>

namespace {
// Words longer than this are not compared: nobody mistypes a key of a hundred letters, and the
// distance's cost grows with the product of the lengths.
const std::size_t MaxCompared = 64;

// Twice the distance, so a slip of letter case can count half.
int Cost(char a, char b) {
    if (a == b)
        return 0;
    unsigned char ua = static_cast<unsigned char>(a);
    unsigned char ub = static_cast<unsigned char>(b);
    return std::tolower(ua) == std::tolower(ub) ? 1 : 2;
}

int DoubledDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j)
        previous[j] = static_cast<int>(2 * j);
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = static_cast<int>(2 * i);
        for (std::size_t j = 1; j <= m; ++j) {
            int best = std::min(previous[j] + 2, current[j - 1] + 2);
            best = std::min(best, previous[j - 1] + Cost(a[i - 1], b[j - 1]));
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                best = std::min(best, before[j - 2] + 2);
            current[j] = best;
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}
} // namespace

std::vector<std::string> OrvSimilarWords::Near(const std::string& word,
                                               const std::vector<std::string>& known) {
    std::vector<std::pair<int, std::size_t>> found;
    if (word.empty() || word.size() > MaxCompared)
        return {};
    for (std::size_t i = 0; i < known.size(); ++i) {
        const std::string& other = known[i];
        if (other.empty() || other.size() > MaxCompared || other == word)
            continue;
        int allowed =
            static_cast<int>(std::max<std::size_t>(1, std::max(word.size(), other.size()) / 3));
        int distance = DoubledDistance(word, other);
        // Nor a word that would have to be typed anew: "a" is not near "b".
        int shorter = static_cast<int>(std::min(word.size(), other.size()));
        if (distance <= 2 * allowed && distance < 2 * shorter)
            found.emplace_back(distance, i);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const std::pair<int, std::size_t>& a,
                        const std::pair<int, std::size_t>& b) { return a.first < b.first; });
    std::vector<std::string> words;
    for (std::size_t i = 0; i < found.size() && words.size() < MaxWords; ++i)
        if (std::find(words.begin(), words.end(), known[found[i].second]) == words.end())
            words.push_back(known[found[i].second]);
    return words;
}

std::string OrvSimilarWords::Suggest(const std::string& word,
                                     const std::vector<std::string>& known) {
    std::vector<std::string> words = Near(word, known);
    if (words.empty())
        return std::string();
    std::string text = "\nDid you mean:\n\n";
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            text += "\n";
        text += words[i];
    }
    return text;
}
