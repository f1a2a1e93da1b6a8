#include "base/OrvOwnFolder.h"

#include <climits>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

std::string OrvOwnFolder::FolderOf(const std::string& file) {
    std::size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string OrvOwnFolder::Library() {
    // The loader's record of the object this function lies in. Its origin is the library's
    // folder made absolute when the library was loaded, so a relative name given to dlopen
    // does not depend on where the working directory is now.
    Dl_info info;
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&OrvOwnFolder::Library), &info,
                reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        return std::string();
    char origin[PATH_MAX + 1] = {};
    if (dlinfo(map, RTLD_DI_ORIGIN, origin) != 0)
        return std::string();
    return origin;
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
