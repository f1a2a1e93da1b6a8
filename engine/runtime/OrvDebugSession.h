#ifndef ORV_RUNTIME_ORVDEBUGSESSION_H
#define ORV_RUNTIME_ORVDEBUGSESSION_H

// Live reload for debug mode, hooked into the player's loop. It watches script.txt and every
// file the show read from the data folder (OrvFileWatcher, on the names its data folder
// noted); when one of them is written, or F5 is released, it loads the show again
// (OrvShowReloader) and hands the player the new show, which goes on at the same position with
// the music still playing. Simulated state (particles, a vector image's morph) starts afresh
// with the new objects, as after a jump.
//
// An edit that breaks the show keeps the last good show playing; its messages go to standard
// error and their first lines are drawn in the window's corner (OrvTextOverlay) until a
// reload succeeds. After every attempt the watcher follows the files of both the playing show
// and the attempt, so a file the broken edit named can fix it when it appears.
//
// Each attempt reports into a fresh list of its own, which stays with the show it loaded, so
// the run's list is never touched.
//
// Ownership: the shows are the player's: the session hands it each new one (ReplaceShow) and
// keeps none. The run context is the engine's. Owns the watcher, the reloader and the
// overlay. Main thread only, context current.

#include "gfx/OrvTextOverlay.h"
#include "runtime/IOrvPlayerHook.h"
#include "runtime/OrvFileWatcher.h"
#include "runtime/OrvShowReloader.h"

#include <set>
#include <string>

class OrvRunContext;
class OrvShow;

class OrvDebugSession : public IOrvPlayerHook {
public:
    explicit OrvDebugSession(OrvRunContext& run);

    void BeforeFrame(IOrvPlayerControl& player) override;
    void AfterFrame(IOrvPlayerControl& player) override;
    // Watches the files of the show the player plays now (added to a player once its show
    // has loaded; after a replacement, the files the new show read).
    void ShowReplaced(IOrvPlayerControl& player, OrvShow* previous) override;

    int Reloads() const { return reloads; }
    int FailedReloads() const { return failures; }
    const OrvTextOverlay& Overlay() const { return overlay; }

private:
    void Reload(IOrvPlayerControl& player, const std::set<std::string>& changed);
    void WatchFiles(const std::set<std::string>& extra);

    OrvRunContext& run;
    OrvFileWatcher watcher;
    OrvShowReloader reloader;
    OrvTextOverlay overlay;
    std::set<std::string> showFiles; // what the playing show read
    std::set<std::string> changed;   // reused every frame
    int reloads;
    int failures;
};

#endif
