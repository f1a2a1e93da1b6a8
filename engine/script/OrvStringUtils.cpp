#include "script/OrvStringUtils.h"

namespace {
bool IsChopped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool InSet(const std::string& set, char c) {
    return set.find(c) != std::string::npos;
}
} // namespace

void OrvStringUtils::Chop(std::string& text) {
    size_t first = 0;
    while (first < text.size() && IsChopped(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && IsChopped(text[last - 1]))
        --last;
    text = text.substr(first, last - first);
}

std::deque<std::string> OrvStringUtils::Split(const std::string& text, std::string separators) {
    std::deque<std::string> words;
    size_t wordStart = 0;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (InSet(separators, text[i])) {
            if (inWord)
                words.push_back(text.substr(wordStart, i - wordStart));
            inWord = false;
        } else if (!inWord) {
            wordStart = i;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(text.substr(wordStart));
    return words;
}

std::deque<std::string> OrvStringUtils::SmartSplit(const std::string& text,
                                                   std::string separators) {
    std::deque<std::string> words;
    std::string word;
    bool inQuotes = false;
    bool escaped = false;
    for (char c : text) {
        if (!inQuotes && (c == '(' || c == ')' || c == ','))
            c = ' ';
        if (!inQuotes && InSet(separators, c)) {
            // A pending escape survives the separator and applies to the next character.
            if (!word.empty())
                words.push_back(word);
            word.clear();
            continue;
        }
        if (c == '#' && !inQuotes) {
            if (!escaped)
                break; // comment: the rest of the line is ignored
            escaped = false;
            word += '#';
            continue;
        }
        if (c == '\\') {
            escaped = true;
            continue;
        }
        if (c == '"') {
            if (escaped) {
                escaped = false;
                word += '"';
            } else {
                inQuotes = !inQuotes;
            }
            continue;
        }
        if (escaped) {
            if (c == 'n')
                c = '\n';
            else if (c == 't')
                c = '\t';
            escaped = false;
        }
        word += c;
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

std::string OrvStringUtils::Join(const std::deque<std::string>& parts, const char* separator) {
    std::string joined;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            joined += separator;
        joined += parts[i];
    }
    return joined;
}
