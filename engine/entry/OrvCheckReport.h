#ifndef ORV_ENTRY_ORVCHECKREPORT_H
#define ORV_ENTRY_ORVCHECKREPORT_H

// What a script check found, and the text it prints: one entry per message, each starting
// with where it belongs.
//   script.txt:12: Unknown parameter: box.z       a line of the script
//   script.txt: Missing block: script             the script as a whole
//   sky.shader:12: error: syntax error ...        a line of a file the script's line 60 uses
//   splash.jpg: Unable to load graphics: ...      another file of the data folder
// A message of several lines gets the prefix on its first line only. The check's own
// warnings read "warning: " and the text; the engine's messages are kept exactly as the
// engine logs them.
//
// Text() lists the script's messages first, those without a line before the others and the
// others by line number (messages of one line in the order they came, with those about files
// that line uses), then those of other files in the order they came. A message that comes
// again for the same place (a failing line in a loop body fails in every round) is listed
// once. The text is bounded: once the entries would pass MaxBytes the rest are left out, and
// one last line says so.
//
// Severities are the diagnostics': above 0 is an error, and HasError() says whether any
// came, listed or left out. Owns its copies of the texts. Main thread only.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

class OrvCheckReport {
public:
    static const char* const ScriptFile;
    static const std::size_t MaxBytes = 1 << 20;

    OrvCheckReport();

    // A message about line `line` of the script; 0 for the script as a whole.
    void Add(int line, int severity, const std::string& message);
    // A warning of the check itself about a line of the script: never an error.
    void Warn(int line, const std::string& text);
    // A message about another file of the data folder, such as "splash.jpg".
    void AddForFile(const std::string& file, int severity, const std::string& message);
    // A message about line `line` of another file, listed with the script's line `scriptLine`
    // that uses the file (a shader's compile log beside the object that loads it).
    void AddBeside(int scriptLine, const std::string& file, int line, int severity,
                   const std::string& message);

    bool HasError() const { return error; }
    bool IsEmpty() const { return entries.empty(); }
    std::string Text() const;

private:
    struct Entry {
        std::string file;
        int line;
        int listedAt; // the script line it is listed with; -1 for after the script's messages
        std::string message;
    };

    void Append(const std::string& file, int line, int listedAt, int severity,
                const std::string& message);

    std::vector<Entry> entries;
    std::set<std::string> seen; // place and message of every entry, to list each once
    std::size_t bytes;
    bool full;
    bool error;
};

#endif
