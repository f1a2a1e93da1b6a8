#include "OrvAbsolutePath.h"

#include <climits>
#include <unistd.h>

std::string OrvAbsolutePath::Of(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    char folder[PATH_MAX];
    if (!getcwd(folder, sizeof folder))
        return path;
    return std::string(folder) + "/" + path;
}
