#ifndef ORV_RUNTIME_ORVSHOWRELOADER_H
#define ORV_RUNTIME_ORVSHOWRELOADER_H

// Loads the show of the data folder again while the current one keeps playing, for live
// reload in debug mode.
//
// The new show is read and loaded beside the current one (with textures and programs of its
// own), reporting into a fresh list of its own: the run's list is never touched, so nothing
// has to be taken back out of it. When it loads, the current show is unloaded and the new one
// returned; the run's music plays on if the new show names the same file and that file did
// not change, otherwise it is loaded again from the new name (closed when there is none),
// sought to the position and started if it was playing. When anything fails, the new show is
// destroyed, null is returned and the current show and the music play on untouched.
//
// Messages() is what the last attempt reported (one message a line; empty when nothing) and
// AttemptedFiles() the data files it read, whether it loaded or not. Nothing is printed here.
// Needs the window's context current; main thread only.

#include "base/OrvDiagnostics.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class OrvMusic;
class OrvRunContext;
class OrvShow;

class OrvShowReloader {
public:
    std::unique_ptr<OrvShow> Reload(OrvRunContext& run, OrvShow& current, OrvMusic& music,
                                    const std::set<std::string>& changed, unsigned position,
                                    bool playing);
    const std::string& Messages() const { return messages; }
    // The same messages as records (their kinds and places), in the order reported.
    const std::vector<OrvDiagnostics::Record>& MessageRecords() const { return records; }
    const std::set<std::string>& AttemptedFiles() const { return attempted; }

private:
    std::string messages;
    std::vector<OrvDiagnostics::Record> records;
    std::set<std::string> attempted;
};

#endif
