#ifndef ORV_SCRIPT_ORVSCRIPTTIME_H
#define ORV_SCRIPT_ORVSCRIPTTIME_H

// Numbers and times as the timeline writes them.
//
// A number is made only of digits, at most one full stop and a minus sign only in front
// ("-.5" and "5." are numbers, "1e3" and "+1" are not). A time is a number of seconds, or
// "@" followed by up to three full-stop separated numbers: bars, beats, and the decimals of
// the beat ("@2.1.5" is bar 2, beat 1.5).
//
// Values are unsigned 32-bit milliseconds. Negative values wrap (two's complement) so that
// they still add correctly to a block's offset. Seconds are read from their decimal digits
// (OrvDecimalSeconds) and truncated toward zero: "2.01" is 2010 ms, "1.0015" is 1001 ms.

#include "base/OrvMessageKind.h"

#include <cstdint>
#include <string>

class OrvScriptTime {
public:
    // beatLength is the length of one beat in milliseconds; 0 or less (or not finite) means
    // the header has no usable bpm, and times in bars and beats are refused.
    explicit OrvScriptTime(double beatLength);

    static bool IsNumber(const std::string& word);
    static bool IsTime(const std::string& word);
    static double NumberValue(const std::string& word);

    // The time's value. False, with `error` set to a message for the demo maker, when a word
    // that has time syntax still has no value: "@" alone, bars and beats without a usable bpm,
    // or a number too large to be a time at all.
    // `kind`, when given, says which of them (OrvMessageKind::BarsWithoutBpm for the bpm).
    bool Value(const std::string& word, uint32_t& milliseconds, std::string& error,
               OrvMessageKind* kind = nullptr) const;
    // The same for a duration (after "in" and "for"), which may not be negative either:
    // "Duration is negative: " + word (OrvMessageKind::NegativeDuration). A negative duration
    // would wrap to some 49 days and overlap whatever follows on the parameter.
    bool Duration(const std::string& word, uint32_t& milliseconds, std::string& error,
                  OrvMessageKind* kind = nullptr) const;

    // A header time in seconds (the show's jump), read as the leading number of `text` as
    // strtod reads it, in whole milliseconds truncated from the digits as written: 0 when
    // there is no number, or it is not above 0 ms, or 2^32 ms or more.
    static uint32_t HeaderMilliseconds(const std::string& text);

private:
    static uint32_t Wrap(double milliseconds);

    double beatLength;
};

#endif
