#include "OrvLauncherOptions.h"

bool OrvLauncherOptions::Parse(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--check") {
            check = true;
        } else if (word == "--debug") {
            debug = true;
        } else if (word == "--sync") {
            if (i + 1 >= argc || std::string(argv[i + 1]).empty()) {
                error = "--sync needs an address: HOST:PORT";
                return false;
            }
            syncAddress = argv[++i];
        } else {
            error = "Unknown option: " + word;
            return false;
        }
    }
    return true;
}
