#ifndef ORV_SCRIPT_ORVSTRINGUTILS_H
#define ORV_SCRIPT_ORVSTRINGUTILS_H

// Text helpers for the script reader. No state; everything is static.
//
// A separator set is a string read as a set of single characters.
// SmartSplit is the tokeniser that defines what the words of a script line are:
//   - outside double quotes "(", ")" and "," act as spaces, separators split, and "#" starts
//     a comment that runs to the end of the line;
//   - a double quote toggles quoting and is not part of the word, so quoted text keeps its
//     spaces and quoted and unquoted pieces that touch form one word;
//   - a backslash escapes the next ordinary character (\n and \t become a line feed and a tab,
//     \" and \# the characters themselves); it does not protect a separator;
//   - empty words are never produced.

#include <deque>
#include <string>

class OrvStringUtils {
public:
    // Removes leading and trailing spaces, tabs and line feeds (not carriage returns).
    static void Chop(std::string& text);
    // Words between runs of separators; never an empty word.
    static std::deque<std::string> Split(const std::string& text, std::string separators);
    static std::deque<std::string> SmartSplit(const std::string& text, std::string separators);
    // The parts with the separator between consecutive parts; "" for no parts.
    static std::string Join(const std::deque<std::string>& parts, const char* separator);
};

#endif
