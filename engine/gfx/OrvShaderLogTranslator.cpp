#include "gfx/OrvShaderLogTranslator.h"

#include <cctype>

namespace {

// Far more lines than any stage has: a longer number cannot be a line of it, and the sum of
// two stays well inside a long.
const long MaxNumber = 100000000;

// Reads a decimal number at `at`; false when there is none or it is out of range.
bool Number(const std::string& text, std::size_t& at, long& value) {
    std::size_t start = at;
    value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        value = value * 10 + (text[at] - '0');
        if (value > MaxNumber)
            return false;
        ++at;
    }
    return at > start;
}

bool Skip(const std::string& text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

void SkipSpaces(const std::string& text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
        ++at;
}

// "S:L(C): text" or "S(L) : text", from the start of the line.
bool NumbersFirst(const std::string& line, long& string, long& number, std::string& text) {
    std::size_t at = 0;
    long column = 0;
    if (!Number(line, at, string))
        return false;
    if (Skip(line, at, ':')) {
        if (!Number(line, at, number) || !Skip(line, at, '(') || !Number(line, at, column) ||
            !Skip(line, at, ')') || !Skip(line, at, ':'))
            return false;
    } else if (!Skip(line, at, '(') || !Number(line, at, number) || !Skip(line, at, ')')) {
        return false;
    } else {
        SkipSpaces(line, at);
        if (!Skip(line, at, ':'))
            return false;
    }
    SkipSpaces(line, at);
    text = line.substr(at);
    return true;
}

// "WORD: S:L: text".
bool WordFirst(const std::string& line, long& string, long& number, std::string& text) {
    std::size_t at = 0;
    while (at < line.size() && std::isalpha(static_cast<unsigned char>(line[at])))
        ++at;
    std::size_t wordEnd = at;
    if (wordEnd == 0 || !Skip(line, at, ':'))
        return false;
    SkipSpaces(line, at);
    if (!Number(line, at, string) || !Skip(line, at, ':') || !Number(line, at, number) ||
        !Skip(line, at, ':'))
        return false;
    SkipSpaces(line, at);
    text = line.substr(0, wordEnd) + ": " + line.substr(at);
    return true;
}

} // namespace

OrvShaderLogTranslator::OrvShaderLogTranslator(const std::string& file,
                                               const std::vector<int>& fileLines)
    : file(file), fileLines(fileLines) {}

std::vector<OrvShaderLogTranslator::Record>
OrvShaderLogTranslator::Translate(const std::string& log) const {
    std::vector<Record> records;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        std::string line = log.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos)
            records.push_back(TranslateLine(line));
    }
    return records;
}

OrvShaderLogTranslator::Record
OrvShaderLogTranslator::TranslateLine(const std::string& line) const {
    long string = 0;
    long number = 0;
    std::string text;
    if (NumbersFirst(line, string, number, text) || WordFirst(line, string, number, text)) {
        int fileLine = FileLine(string, number);
        if (fileLine > 0)
            return Record{file, fileLine, text};
    }
    return Record{std::string(), 0, line};
}

int OrvShaderLogTranslator::FileLine(long string, long line) const {
    long stageLine = string + line;
    if (line < 1 || stageLine > static_cast<long>(fileLines.size()))
        return 0;
    return fileLines[static_cast<std::size_t>(stageLine - 1)];
}
