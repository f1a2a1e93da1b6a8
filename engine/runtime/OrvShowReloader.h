#ifndef ORV_RUNTIME_ORVSHOWRELOADER_H
#define ORV_RUNTIME_ORVSHOWRELOADER_H

// Loads the show of the data folder again while the current one keeps playing, for live
// reload in debug mode.
//
// The new show is read and loaded beside the current one (in a generation of textures and
// programs of its own, without its music). When it loads, it takes over the current show's
// music, still playing, if it names the same file and that file did not change; otherwise the
// current show's music is closed and the new one is loaded, sought to the position and started
// if the old one was playing. Then the current show is unloaded and the new one returned.
// When anything fails, the new show is unloaded, null is returned and the current show plays
// on untouched.
//
// Either way, what the attempt reported to the error log is kept in Messages() and taken back
// out of the log, so the run's log keeps describing the show that plays. Nothing is printed
// here. Needs the window's context current; main thread only.

#include <memory>
#include <set>
#include <string>

class IOrvLoadingObserver;
class OrvShow;

class OrvShowReloader {
public:
    std::unique_ptr<OrvShow> Reload(OrvShow& current, const std::set<std::string>& changed,
                                    unsigned position, bool playing);
    // What the last Reload reported (errors and warnings, one per line); empty when nothing.
    const std::string& Messages() const { return messages; }

private:
    std::string messages;
};

#endif
