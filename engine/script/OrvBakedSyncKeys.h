#ifndef ORV_SCRIPT_ORVBAKEDSYNCKEYS_H
#define ORV_SCRIPT_ORVBAKEDSYNCKEYS_H

// Plays a sync editor's baked keys: reads the file the header's `sync` names (timeline lines
// in the script's own language, one a line: holds, fades, smooth and ramp eases, and whatever
// else a timeline line may be) and turns them into envelope items of the parameter manager it
// is given, through the timeline (OrvTimeline), so that failing lines are reported with the
// file's name and line.
//
// The file is read whole but bounded (MaxBytes): a longer file is refused with a message, as
// is one that cannot be read. Lines are split like the script's; blocks ({ }) are not part of
// this language and a line ending in "{" is a syntax error.
//
// Owns nothing it is given; keeps nothing after Process. Main thread only.

#include <cstdint>
#include <string>

class OrvDiagnostics;
class OrvParameterManager;

class OrvBakedSyncKeys {
public:
    static const std::uint64_t MaxBytes = 64u * 1024 * 1024;

    // `path` is the file, `shown` its name in messages. True when every line succeeded.
    static bool Process(const std::string& path, const std::string& shown, double beatLength,
                        OrvParameterManager& parameters, OrvDiagnostics& diagnostics);
    // The same from text already in memory.
    static bool ProcessText(const std::string& text, const std::string& shown, double beatLength,
                            OrvParameterManager& parameters, OrvDiagnostics& diagnostics);
};

#endif
