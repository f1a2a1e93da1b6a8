#include "support/OrvTestFolder.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <limits.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

OrvTestFolder::OrvTestFolder() {
    char pattern[] = "/tmp/orv-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    root = pattern;
    mkdir((root + "/bin").c_str(), 0755);
    mkdir((root + "/data").c_str(), 0755);
}

OrvTestFolder::~OrvTestFolder() {
    std::string command = "rm -rf '" + root + "'";
    if (std::system(command.c_str()) != 0) {
        // A leftover temporary folder is harmless.
    }
}

std::string OrvTestFolder::WriteData(const std::string& name, const std::string& bytes) const {
    std::string path = DataPath(name);
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string OrvReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void OrvCopyPath(const std::string& from, const std::string& to) {
    int status = std::system(("cp -r '" + from + "' '" + to + "'").c_str());
    if (status != 0)
        ADD_FAILURE() << "could not copy " << from << " to " << to;
}

std::string OrvCopyLauncher(const std::string& directory) {
    const std::string source = std::string(ORV_TEST_SHOW_DIR) + "/Run";
    const std::string target = directory + "/Run";
    std::ifstream in(source, std::ios::binary);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    out.close();
    chmod(target.c_str(), 0755);
    return target;
}
