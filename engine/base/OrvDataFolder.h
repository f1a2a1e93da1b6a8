#ifndef ORV_BASE_ORVDATAFOLDER_H
#define ORV_BASE_ORVDATAFOLDER_H

// The data folder of one show, and the names of the files the show read from it (live reload
// watches exactly those). Built from the folder's path by whoever loads a show; every reader
// asks it for a file's path instead of assuming a working directory.
//
// Path(name) is the folder followed by the name, unchanged (names may contain "/"); a
// non-empty name is remembered. Messages name a file as Shown(name), "../data/" and the name:
// the show folder's own view of it, the same wherever the folder lies. The folder is kept as given,
// with a "/" added when missing. It never touches the file system. Copyable.

#include <set>
#include <string>

class OrvDataFolder {
public:
    explicit OrvDataFolder(const std::string& folder);

    const std::string& Folder() const { return folder; }
    std::string Path(const std::string& name) const;
    static std::string Shown(const std::string& name);
    const std::set<std::string>& Names() const { return names; }
    void Forget() { names.clear(); }

private:
    std::string folder;
    mutable std::set<std::string> names;
};

#endif
