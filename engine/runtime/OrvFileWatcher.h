#ifndef ORV_RUNTIME_ORVFILEWATCHER_H
#define ORV_RUNTIME_ORVFILEWATCHER_H

// Tells when files of a folder have been written, for live reload in debug mode.
//
// Uses the kernel's inotify: the folder (and each subfolder that a watched name lies in) is
// watched for a file closed after writing, moved in (editors that save to a new file and
// rename it over the old one), or deleted. Nothing is read from the disk and no time is
// measured: Changed asks the kernel, without waiting, what happened since the last call.
//
// Watch names the files that count, relative to the folder ("script.txt", "fx/glow.frag");
// events for other files are ignored. Where inotify is not available the watcher is inert
// (Changed is always false) and says so once through Available.
//
// Owns its inotify descriptor; not copyable. Main thread only.

#include <map>
#include <set>
#include <string>

class OrvFileWatcher {
public:
    OrvFileWatcher();
    ~OrvFileWatcher();
    OrvFileWatcher(const OrvFileWatcher&) = delete;
    OrvFileWatcher& operator=(const OrvFileWatcher&) = delete;

    // Watches `folder` for these names (replacing an earlier Watch). Pending events are
    // dropped.
    void Watch(const std::string& folder, const std::set<std::string>& names);
    bool Available() const { return descriptor >= 0; }

    // True when a watched file was written, moved in or deleted since the last call; the
    // names are in `changed` (cleared first). Never waits.
    bool Changed(std::set<std::string>& changed);

private:
    void Drain(std::set<std::string>* changed);

    int descriptor;
    std::map<int, std::string> folders; // watch descriptor -> subfolder ("" for the folder)
    std::set<std::string> names;
};

#endif
