#ifndef ORV_SCRIPT_ORVDECIMALSECONDS_H
#define ORV_SCRIPT_ORVDECIMALSECONDS_H

// A number of seconds written in decimal, read digit by digit, so that a time lands on the
// millisecond its digits say. Multiplying the double nearest to 2.01 by 1000 gives
// 2009.9999..., which truncates to 2009; the digits say 2010. Digits past the thousandths are
// cut off, as truncation always did: 1.0015 is still 1001 ms.
//
// Read takes the leading number of a text as strtod reads a decimal one: spaces first, a
// sign, digits with at most one full stop, and an exponent (e or E, a sign, digits) when
// digits follow the e. Whatever comes after is ignored. Forms that strtod reads otherwise
// (hexadecimal, inf, nan) are not read here. A plain value, used by the script's time
// parsing and the show's header; it allocates nothing and keeps no state between reads.

#include <cstdint>
#include <string>

class OrvDecimalSeconds {
public:
    // False, and nothing changed, when the text starts (after spaces and a sign) with a form
    // that is not decimal: "0x", "inf" or "nan" in any case. A text with no digits at all
    // reads as 0, as strtod gives it.
    bool Read(const std::string& text);

    bool Negative() const { return negative; }
    // The seconds times 1000, truncated toward zero, without the sign: modulo 2^64, with
    // Huge() telling whether the true count is 2^64 or more.
    uint64_t Milliseconds() const { return milliseconds; }
    bool Huge() const { return huge; }

private:
    void AddDigit(int digit);

    bool negative = false;
    uint64_t milliseconds = 0;
    bool huge = false;
};

#endif
