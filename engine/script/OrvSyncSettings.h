#ifndef ORV_SCRIPT_ORVSYNCSETTINGS_H
#define ORV_SCRIPT_ORVSYNCSETTINGS_H

// What a script says about timing it with a sync editor, read from its parsed tree:
//   - the optional top-level `sync` block: parameter names, one a line, each a track;
//   - the header's `rowsPerBeat` (8 when missing or not above 0) and `bpm`;
//   - the header's `sync`: the file the editor's keys are baked into ("" when none).
// A line of the sync block that is not one lone word is kept with an empty name, so the one
// who checks the names reports it with its line. Plain data; reads the tree once.

#include <string>
#include <vector>

class OrvScriptNode;

class OrvSyncSettings {
public:
    struct Name {
        std::string parameter; // empty: the line was not a lone name
        int line;
    };

    OrvSyncSettings() = default;
    explicit OrvSyncSettings(const OrvScriptNode& root);

    const std::vector<Name>& Names() const { return names; }
    double RowsPerBeat() const { return rowsPerBeat; }
    double Bpm() const { return bpm; }
    const std::string& BakedFile() const { return bakedFile; }

private:
    std::vector<Name> names;
    double rowsPerBeat = 8;
    double bpm = 0;
    std::string bakedFile;
};

#endif
