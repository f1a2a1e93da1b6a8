#include "core/OrvLibraryFolder.h"

#include <climits>
#include <dlfcn.h>
#include <link.h>

std::string OrvLibraryFolder::Path() {
    // The loader's record of the object this function lies in. Its origin is the library's
    // folder made absolute when the library was loaded, so a relative name given to dlopen
    // ("./libOrvEngine.so") does not depend on where the working directory is now.
    Dl_info info;
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&OrvLibraryFolder::Path), &info,
                reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        return std::string();
    char origin[PATH_MAX + 1] = {};
    if (dlinfo(map, RTLD_DI_ORIGIN, origin) != 0)
        return std::string();
    return origin;
}

std::string OrvLibraryFolder::File(const std::string& name) {
    std::string folder = Path();
    return folder.empty() ? folder : folder + "/" + name;
}
