#include "base/OrvWholeFile.h"

#include <fstream>
#include <sys/stat.h>

OrvWholeFile::Result OrvWholeFile::Load(const std::string& path, std::uint64_t maxBytes,
                                        std::string& bytes, std::uint64_t& size) {
    bytes.clear();
    size = 0;
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0)
        return Unreadable;
    size = static_cast<std::uint64_t>(info.st_size);
    if (size > maxBytes)
        return TooLarge;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Unreadable;
    bytes.resize(static_cast<std::size_t>(size));
    if (!bytes.empty())
        in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    // A file that changed length since stat() was not read whole.
    if (static_cast<std::uint64_t>(in.gcount()) != size) {
        bytes.clear();
        return Unreadable;
    }
    return Read;
}
