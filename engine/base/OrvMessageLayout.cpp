#include "base/OrvMessageLayout.h"

#include <algorithm>
#include <sstream>

std::vector<std::string> OrvMessageLayout::Wrap(const std::string& text, int maxColumns) {
    std::vector<std::string> lines;
    const std::size_t width = static_cast<std::size_t>(std::max(maxColumns, 8));
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::string indent;
        while (line.size() > width - indent.size()) {
            std::size_t room = width - indent.size();
            std::size_t cut = line.rfind(' ', room);
            if (cut == std::string::npos || cut == 0)
                cut = room; // one word longer than the line: cut inside it
            lines.push_back(indent + line.substr(0, cut));
            line = line.substr(cut < line.size() && line[cut] == ' ' ? cut + 1 : cut);
            indent = "  ";
        }
        lines.push_back(indent + line);
    }
    if (lines.empty())
        lines.push_back(std::string());
    return lines;
}

std::vector<std::string>
OrvMessageLayout::Lines(const std::vector<OrvDiagnostics::Record>& messages, int maxLines,
                        int maxColumns) {
    // The first error first: what comes after it often follows from it.
    std::vector<const OrvDiagnostics::Record*> order;
    for (const OrvDiagnostics::Record& message : messages)
        if (message.severity > 0 && order.empty())
            order.push_back(&message);
    for (const OrvDiagnostics::Record& message : messages)
        if (order.empty() || &message != order.front())
            order.push_back(&message);

    std::vector<std::string> lines;
    const std::size_t limit = static_cast<std::size_t>(std::max(maxLines, 1));
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::vector<std::string> wrapped = Wrap(OrvDiagnostics::Placed(*order[i]), maxColumns);
        // The last message may use every line; any other leaves one for the count.
        std::size_t room = limit - lines.size() - (i + 1 < order.size() ? 1 : 0);
        if (wrapped.size() > room && !lines.empty()) {
            lines.push_back("... and " + std::to_string(order.size() - i) +
                            " more (the whole list is on standard error)");
            return lines;
        }
        // A first message longer than the whole box shows what fits of it.
        if (wrapped.size() > room) {
            lines.assign(wrapped.begin(), wrapped.begin() + (limit - 1));
            std::size_t more = order.size() - 1;
            lines.push_back(more > 0 ? "... and " + std::to_string(more) +
                                           " more (the whole list is on standard error)"
                                     : "... (the whole message is on standard error)");
            return lines;
        }
        lines.insert(lines.end(), wrapped.begin(), wrapped.end());
    }
    return lines;
}
