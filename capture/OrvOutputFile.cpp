#include "OrvOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

OrvOutputFile::OrvOutputFile() : descriptor(-1) {}

OrvOutputFile::~OrvOutputFile() {
    if (descriptor >= 0)
        Abandon();
}

void OrvOutputFile::Fail(const std::string& what) {
    if (error.empty())
        error = "Could not write " + path + ": " + what;
}

bool OrvOutputFile::Open(const std::string& finalPath) {
    if (descriptor >= 0)
        Abandon();
    path = finalPath;
    error.clear();
    descriptor = open(PartPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        Fail(std::strerror(errno));
        return false;
    }
    return true;
}

bool OrvOutputFile::Write(const void* data, size_t size) {
    if (descriptor < 0 || !error.empty())
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            // A write that takes nothing without an error would loop for ever; count it as
            // the disk being full, which is what it means on every file system we write to.
            Fail(std::strerror(written < 0 ? errno : ENOSPC));
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool OrvOutputFile::Commit() {
    if (descriptor < 0)
        return false;
    // Some file systems report a full disk only when the file is closed.
    if (close(descriptor) != 0)
        Fail(std::strerror(errno));
    descriptor = -1;
    if (error.empty() && std::rename(PartPath().c_str(), path.c_str()) != 0)
        Fail(std::strerror(errno));
    if (!error.empty()) {
        unlink(PartPath().c_str());
        return false;
    }
    return true;
}

void OrvOutputFile::Abandon() {
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
    unlink(PartPath().c_str());
}
