#include "entry/OrvCheckReport.h"

#include "base/OrvDiagnostics.h"

#include <algorithm>

const char* const OrvCheckReport::ScriptFile = "script.txt";

OrvCheckReport::OrvCheckReport() : bytes(0), full(false), error(false) {}

void OrvCheckReport::Add(int line, int severity, const std::string& message) {
    line = line < 0 ? 0 : line;
    Append(ScriptFile, line, line, severity, message);
}

void OrvCheckReport::Warn(int line, const std::string& text) {
    Add(line, 0, "warning: " + text);
}

void OrvCheckReport::AddForFile(const std::string& file, int severity, const std::string& message) {
    Append(file, 0, -1, severity, message);
}

void OrvCheckReport::AddBeside(int scriptLine, const std::string& file, int line, int severity,
                               const std::string& message) {
    Append(file, line < 0 ? 0 : line, scriptLine < 0 ? 0 : scriptLine, severity, message);
}

void OrvCheckReport::Append(const std::string& file, int line, int listedAt, int severity,
                            const std::string& message) {
    if (severity > 0)
        error = true;
    if (full)
        return;
    std::string place = line > 0 ? file + ":" + std::to_string(line) + ":" : file + ":";
    if (seen.count(place + message))
        return;
    // As long as the entry is printed: the place, a space, the message and a newline.
    std::size_t length = place.size() + 1 + message.size() + 1;
    if (bytes + length > MaxBytes) {
        full = true;
        return;
    }
    bytes += length;
    seen.insert(place + message);
    entries.push_back(Entry{file, line, listedAt, message});
}

std::string OrvCheckReport::Text() const {
    std::vector<const Entry*> order;
    order.reserve(entries.size());
    for (const Entry& entry : entries)
        order.push_back(&entry);
    // The script's messages first, by line, with those listed beside them; other files
    // after them, as they came.
    std::stable_sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
        bool aListed = a->listedAt >= 0;
        bool bListed = b->listedAt >= 0;
        if (aListed != bListed)
            return aListed;
        return aListed && a->listedAt < b->listedAt;
    });
    std::string text;
    for (const Entry* entry : order) {
        text += entry->file;
        text += ':';
        if (entry->line > 0)
            text += std::to_string(entry->line) + ":";
        text += ' ';
        text += entry->message;
        text += '\n';
    }
    if (full) {
        text += ScriptFile;
        text += ": ";
        text += OrvDiagnostics::TruncatedLine;
        text += '\n';
    }
    return text;
}
