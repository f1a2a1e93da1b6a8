#include "script/OrvScriptTime.h"

#include "script/OrvDecimalSeconds.h"
#include "script/OrvStringUtils.h"

#include <cmath>
#include <cstdlib>
#include <deque>

OrvScriptTime::OrvScriptTime(double beatLength) : beatLength(beatLength) {}

bool OrvScriptTime::IsNumber(const std::string& word) {
    int stops = 0;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        if (c == '.') {
            if (++stops > 1)
                return false;
        } else if (c == '-') {
            if (i != 0)
                return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool OrvScriptTime::IsTime(const std::string& word) {
    if (word.empty() || word[0] != '@')
        return IsNumber(word);
    std::deque<std::string> pieces = OrvStringUtils::Split(word.substr(1), ".");
    if (pieces.size() >= 4)
        return false;
    for (const std::string& piece : pieces) {
        if (!IsNumber(piece))
            return false;
    }
    return true;
}

double OrvScriptTime::NumberValue(const std::string& word) {
    return std::atof(word.c_str());
}

uint32_t OrvScriptTime::Wrap(double milliseconds) {
    // Truncate toward zero, then reduce modulo 2^32 the way a two's complement cast would,
    // without the undefined behaviour of casting an out-of-range double.
    double whole = std::trunc(milliseconds);
    double reduced = std::fmod(whole, 4294967296.0);
    if (reduced < 0)
        reduced += 4294967296.0;
    return static_cast<uint32_t>(reduced);
}

bool OrvScriptTime::Duration(const std::string& word, uint32_t& milliseconds, std::string& error,
                             OrvMessageKind* kind) const {
    if (!Value(word, milliseconds, error, kind))
        return false;
    // Negative when it came out of a negative number and did not wrap to 0 (as -0 and
    // -0.0001 do: no time at all).
    bool negative = false;
    if (word.empty() || word[0] != '@') {
        negative = !word.empty() && word[0] == '-' && milliseconds != 0;
    } else {
        std::deque<std::string> pieces = OrvStringUtils::Split(word.substr(1), ".");
        double bars = std::trunc(NumberValue(pieces[0]));
        pieces.pop_front();
        double beats = pieces.empty() ? 0.0 : NumberValue(OrvStringUtils::Join(pieces, "."));
        negative = beats + bars * 4.0 < 0 && milliseconds != 0;
    }
    if (!negative)
        return true;
    error = "Duration is negative: " + word;
    if (kind)
        *kind = OrvMessageKind::NegativeDuration;
    return false;
}

bool OrvScriptTime::Value(const std::string& word, uint32_t& milliseconds, std::string& error,
                          OrvMessageKind* kind) const {
    if (kind)
        *kind = OrvMessageKind::Other;
    double value = 0;
    if (word.empty() || word[0] != '@') {
        value = NumberValue(word) * 1000.0;
        // Too large a number is out of range as it always was; any other is read from its
        // digits, not from the binary fraction nearest to it.
        OrvDecimalSeconds seconds;
        if (std::isfinite(value) && seconds.Read(word)) {
            uint32_t whole = static_cast<uint32_t>(seconds.Milliseconds()); // modulo 2^32
            milliseconds = seconds.Negative() ? 0u - whole : whole;
            return true;
        }
    } else {
        std::deque<std::string> pieces = OrvStringUtils::Split(word.substr(1), ".");
        if (pieces.empty()) {
            error = "Not a time: " + word + " (write bars after the @, as in @4 or @4.2)";
            return false;
        }
        if (!(beatLength > 0) || !std::isfinite(beatLength)) {
            error =
                "Time " + word + " is written in bars and beats, but the header has no bpm above 0";
            if (kind)
                *kind = OrvMessageKind::BarsWithoutBpm;
            return false;
        }
        double bars = std::trunc(NumberValue(pieces[0]));
        pieces.pop_front();
        double beats = pieces.empty() ? 0.0 : NumberValue(OrvStringUtils::Join(pieces, "."));
        value = beats * beatLength + bars * 4.0 * beatLength;
    }
    if (!std::isfinite(value)) {
        error = "Time out of range: " + word;
        return false;
    }
    milliseconds = Wrap(value);
    return true;
}

uint32_t OrvScriptTime::HeaderMilliseconds(const std::string& text) {
    OrvDecimalSeconds seconds;
    if (seconds.Read(text)) {
        bool inRange =
            !seconds.Negative() && !seconds.Huge() && seconds.Milliseconds() < (uint64_t(1) << 32);
        return inRange ? static_cast<uint32_t>(seconds.Milliseconds()) : 0;
    }
    // Hexadecimal, inf or nan: what strtod makes of them, in binary.
    double whole = std::trunc(NumberValue(text) * 1000.0);
    return whole > 0 && whole < 4294967296.0 ? static_cast<uint32_t>(whole) : 0;
}
