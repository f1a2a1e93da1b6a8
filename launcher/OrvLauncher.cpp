#include "OrvLauncher.h"

#include "OrvMessageBox.h"
#include "OrvSharedLibrary.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {
// The engine's exported functions, plain C linkage.
using RunFunction = int (*)(bool debug);
using RunSyncFunction = int (*)(bool debug, const char* syncAddress);
using HasErrorFunction = int (*)();
using ErrorMessageFunction = const char* (*)();
using CheckFunction = int (*)();
} // namespace

std::string OrvLauncher::OwnFolder() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    std::string file(path, static_cast<std::size_t>(length));
    std::size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : file.substr(0, slash);
}

std::string OrvLauncher::LibraryPath() {
    // The show folder is the one the program lies in, whatever folder it was started from
    // (a desktop's file manager, a terminal elsewhere, a party's start script). The engine
    // finds its data beside its own bin/ the same way, so nothing depends on the working
    // directory. A missing "bin" is not reported here: the load then fails and says so.
    std::string folder = OwnFolder();
    return (folder.empty() ? std::string(".") : folder) + "/bin/" + LibraryFile;
}

std::string OrvLauncher::MessageBoxLibraryPath() {
    std::string folder = OwnFolder();
    return (folder.empty() ? std::string(".") : folder) + "/bin/" + MessageBoxLibraryFile;
}

int OrvLauncher::Run(bool debug, const std::string& syncAddress) {
    OrvMessageBox box(MessageBoxLibraryPath());
    OrvSharedLibrary library;
    if (!library.Open(LibraryPath())) {
        box.Show(CriticalCaption, LoadFailedText);
        return 1;
    }

    // All three are looked up before any is judged, so one message covers every gap.
    auto run = reinterpret_cast<RunFunction>(library.Symbol("OrvRun"));
    auto hasError = reinterpret_cast<HasErrorFunction>(library.Symbol("OrvHasError"));
    auto errorMessage = reinterpret_cast<ErrorMessageFunction>(library.Symbol("OrvErrorMsg"));
    auto runSync = reinterpret_cast<RunSyncFunction>(library.Symbol("OrvRunSync"));
    if (run == nullptr || hasError == nullptr || errorMessage == nullptr ||
        (!syncAddress.empty() && runSync == nullptr)) {
        box.Show(CriticalCaption, InvalidLibraryText);
        return 1;
    }

    int result = syncAddress.empty() ? run(debug) : runSync(debug, syncAddress.c_str());

    // Only the low byte carries the answer; a completed run may still have logged an error.
    if ((hasError() & 0xFF) != 0) {
        const char* text = errorMessage();
        box.Show(ErrorCaption, text != nullptr ? text : "");
    }
    return result;
}

int OrvLauncher::Check() {
    OrvSharedLibrary library;
    if (!library.Open(LibraryPath())) {
        std::fprintf(stderr, "%s: %s\n", CriticalCaption, LoadFailedText);
        return 1;
    }
    auto check = reinterpret_cast<CheckFunction>(library.Symbol("OrvCheck"));
    if (check == nullptr) {
        std::fprintf(stderr, "%s: %s\n", CriticalCaption, InvalidLibraryText);
        return 1;
    }
    return check();
}
