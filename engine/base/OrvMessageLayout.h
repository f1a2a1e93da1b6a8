#ifndef ORV_BASE_ORVMESSAGELAYOUT_H
#define ORV_BASE_ORVMESSAGELAYOUT_H

// Lays messages out for a small box of text (the debug overlay): at most `maxLines` lines of
// at most `maxColumns` characters. The first error comes first (the message that explains
// the others), then the other messages in the order reported; each is shown at its place
// (OrvDiagnostics::Placed) and whole, its long lines wrapped after the last space that fits
// (or cut between two characters when a word alone is too long), continued lines indented
// by two spaces. A message that does not fit whole is left out with all after it, and the
// last line then says how many were left out: "... and N more (the whole list is on
// standard error)". A first message longer than the whole box shows its first lines and
// then that line (or "... (the whole message is on standard error)"). Holds no state.

#include "base/OrvDiagnostics.h"

#include <string>
#include <vector>

class OrvMessageLayout {
public:
    static std::vector<std::string> Lines(const std::vector<OrvDiagnostics::Record>& messages,
                                          int maxLines, int maxColumns);
    // The lines of one text, wrapped to `maxColumns` as above.
    static std::vector<std::string> Wrap(const std::string& text, int maxColumns);
};

#endif
