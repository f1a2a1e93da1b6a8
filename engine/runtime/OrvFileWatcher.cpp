#include "runtime/OrvFileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// Not IN_CREATE or IN_MODIFY: a file is read once its writer has closed it.
const uint32_t Events = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE;
} // namespace

OrvFileWatcher::OrvFileWatcher() : descriptor(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

OrvFileWatcher::~OrvFileWatcher() {
    if (descriptor >= 0)
        close(descriptor);
}

void OrvFileWatcher::Watch(const std::string& folder, const std::set<std::string>& watched) {
    if (descriptor < 0)
        return;
    for (const auto& entry : folders)
        inotify_rm_watch(descriptor, entry.first);
    folders.clear();
    names = watched;
    std::set<std::string> subfolders = {""};
    for (const std::string& name : names) {
        std::size_t slash = name.rfind('/');
        if (slash != std::string::npos)
            subfolders.insert(name.substr(0, slash));
    }
    std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const std::string& sub : subfolders) {
        int watch = inotify_add_watch(descriptor, (base + sub).c_str(), Events);
        if (watch >= 0)
            folders[watch] = sub;
    }
    Drain(nullptr);
}

bool OrvFileWatcher::Changed(std::set<std::string>& changed) {
    changed.clear();
    Drain(&changed);
    return !changed.empty();
}

void OrvFileWatcher::Drain(std::set<std::string>* changed) {
    if (descriptor < 0)
        return;
    alignas(inotify_event) char buffer[8192];
    for (;;) {
        ssize_t length = read(descriptor, buffer, sizeof buffer);
        if (length <= 0)
            return; // EAGAIN: nothing more now
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (!changed || event->len == 0)
                continue;
            auto folder = folders.find(event->wd);
            if (folder == folders.end())
                continue;
            std::string name = folder->second.empty() ? std::string(event->name)
                                                      : folder->second + "/" + event->name;
            if (names.count(name))
                changed->insert(name);
        }
    }
}
