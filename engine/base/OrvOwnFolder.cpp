#include "base/OrvOwnFolder.h"

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

std::string OrvOwnFolder::FolderOf(const std::string& file) {
    std::size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string OrvOwnFolder::Library() {
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&OrvOwnFolder::Library), &info) == 0 || !info.dli_fname)
        return std::string();
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved))
        return std::string();
    return FolderOf(resolved);
}

std::string OrvOwnFolder::Program() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    return FolderOf(std::string(path, static_cast<std::size_t>(length)));
}

std::string OrvOwnFolder::DataBesideBin(const std::string& binFolder) {
    return (binFolder.empty() ? std::string("..") : binFolder + "/..") + "/data/";
}
