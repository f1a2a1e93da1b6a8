#include "base/OrvFontFile.h"

#include "base/OrvOwnFolder.h"

#include <unistd.h>

std::string OrvFontFile::Find() {
    std::string folder = OrvOwnFolder::Library();
    std::string own = folder.empty() ? folder : folder + "/" + FileName;
    return !own.empty() && access(own.c_str(), R_OK) == 0 ? own : SystemPath;
}
