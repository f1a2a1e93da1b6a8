#include "base/OrvDataFolder.h"

OrvDataFolder::OrvDataFolder(const std::string& path) : folder(path) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
}

std::string OrvDataFolder::Shown(const std::string& name) {
    return "../data/" + name;
}

std::string OrvDataFolder::Path(const std::string& name) const {
    if (!name.empty())
        names.insert(name);
    return folder + name;
}
