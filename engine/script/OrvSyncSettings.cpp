#include "script/OrvSyncSettings.h"

#include "script/OrvScriptNode.h"

#include <cstdlib>

OrvSyncSettings::OrvSyncSettings(const OrvScriptNode& root) {
    const OrvScriptNode* header = root["header"];
    if (header) {
        const OrvScriptNode* rows = (*header)["rowsPerBeat"];
        double value = rows ? std::atof(rows->JoinedArgs().c_str()) : 0;
        if (value > 0)
            rowsPerBeat = value;
        const OrvScriptNode* beats = (*header)["bpm"];
        bpm = beats ? std::atof(beats->JoinedArgs().c_str()) : 0;
        const OrvScriptNode* file = (*header)["sync"];
        if (file)
            bakedFile = file->JoinedArgs();
    }
    const OrvScriptNode* block = root["sync"];
    if (!block)
        return;
    for (const OrvScriptNode* line : block->Children()) {
        if (!line)
            continue;
        bool lone = line->ArgsRef().empty() && line->ChildCount() == 0;
        names.push_back(Name{lone ? line->Id() : std::string(), line->Line()});
    }
}
