#include "runtime/OrvDebugSession.h"

#include "base/OrvDataFolder.h"
#include "base/OrvDisplayFacts.h"
#include "base/OrvRunContext.h"
#include "runtime/IOrvPlayerControl.h"
#include "show/OrvShow.h"

#include <cstdio>

OrvDebugSession::OrvDebugSession(OrvRunContext& run) : run(run), reloads(0), failures(0) {}

void OrvDebugSession::ShowReplaced(IOrvPlayerControl& player, OrvShow*) {
    showFiles = player.Show().Files().Names();
    WatchFiles({});
}

void OrvDebugSession::WatchFiles(const std::set<std::string>& extra) {
    std::set<std::string> names = showFiles;
    names.insert(extra.begin(), extra.end());
    names.insert("script.txt");
    watcher.Watch(run.DataFolder(), names);
}

void OrvDebugSession::BeforeFrame(IOrvPlayerControl& player) {
    bool requested = player.TakeReloadRequest();
    if (watcher.Changed(changed) || requested)
        Reload(player, changed);
}

void OrvDebugSession::Reload(IOrvPlayerControl& player, const std::set<std::string>& changedFiles) {
    unsigned position = player.Position();
    std::unique_ptr<OrvShow> loaded = reloader.Reload(run, player.Show(), player.Music(),
                                                      changedFiles, position, !player.Paused());
    const std::set<std::string>& attempted = reloader.AttemptedFiles();
    const std::string& messages = reloader.Messages();
    if (!messages.empty())
        std::fputs(messages.c_str(), stderr);
    if (loaded) {
        ++reloads;
        std::fprintf(stderr, "Reloaded the show at %.1f s\n", position * 0.001);
        // The player tells this session of the new show, which then watches its files.
        player.ReplaceShow(std::move(loaded));
        overlay.Clear();
    } else {
        ++failures;
        std::fputs("The show was not reloaded: the last good one plays on\n", stderr);
        if (reloader.MessageRecords().empty())
            overlay.SetText("The show could not be loaded");
        else
            overlay.SetMessages(reloader.MessageRecords());
        WatchFiles(attempted);
    }
    std::fflush(stderr);
}

void OrvDebugSession::AfterFrame(IOrvPlayerControl&) {
    overlay.Draw(run.Display().displayWidth, run.Display().displayHeight);
}
