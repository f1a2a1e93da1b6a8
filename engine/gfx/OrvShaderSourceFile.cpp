#include "gfx/OrvShaderSourceFile.h"

#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool OrvShaderSourceFile::CanOpen(const std::string& path) {
    if (!IsRegularFile(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    return in.is_open();
}

bool OrvShaderSourceFile::ReadLines(const std::string& path, std::deque<std::string>& lines) {
    if (!IsRegularFile(path))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return false;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return false;

    std::deque<std::string> read;
    std::string::size_type start = 0;
    for (;;) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            read.push_back(text.substr(start));
            break;
        }
        std::string::size_type stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        read.push_back(text.substr(start, stop - start));
        start = end + 1;
    }
    lines.swap(read);
    return true;
}
