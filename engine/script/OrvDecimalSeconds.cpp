#include "script/OrvDecimalSeconds.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
    for (size_t i = 0; word[i]; ++i) {
        if (at + i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[at + i])) != word[i])
            return false;
    }
    return true;
}

// An exponent far past any that could matter; larger ones are held here.
const long ExponentLimit = 100000;
} // namespace

bool OrvDecimalSeconds::Read(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool minus = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        minus = text[at++] == '-';
    if (StartsWithNoCase(text, at, "0x") || StartsWithNoCase(text, at, "inf") ||
        StartsWithNoCase(text, at, "nan"))
        return false;

    // The digits of the number, without the full stop, and how many came before it.
    size_t wholeDigits = 0;
    bool stop = false;
    std::string digits;
    for (; at < text.size(); ++at) {
        if (IsDigit(text[at])) {
            digits += text[at];
            if (!stop)
                ++wholeDigits;
        } else if (text[at] == '.' && !stop) {
            stop = true;
        } else {
            break;
        }
    }
    long exponent = 0;
    if (!digits.empty() && at + 1 < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t sign = at + 1;
        bool down = false;
        if (text[sign] == '-' || text[sign] == '+')
            down = text[sign++] == '-';
        if (sign < text.size() && IsDigit(text[sign])) {
            for (at = sign; at < text.size() && IsDigit(text[at]); ++at)
                exponent = std::min(ExponentLimit, exponent * 10 + (text[at] - '0'));
            if (down)
                exponent = -exponent;
        }
    }

    // The whole milliseconds are the digits up to `wholeDigits + exponent + 3`, with zeros
    // after the last digit when that lies past it.
    negative = minus;
    milliseconds = 0;
    huge = false;
    long end = static_cast<long>(wholeDigits) + exponent + 3;
    for (long i = 0; i < end; ++i)
        AddDigit(i < static_cast<long>(digits.size()) ? digits[i] - '0' : 0);
    return true;
}

void OrvDecimalSeconds::AddDigit(int digit) {
    const uint64_t most = std::numeric_limits<uint64_t>::max();
    if (milliseconds > (most - digit) / 10)
        huge = true;
    milliseconds = milliseconds * 10 + digit; // modulo 2^64
}
