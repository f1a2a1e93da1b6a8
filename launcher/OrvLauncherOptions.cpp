#include "OrvLauncherOptions.h"

bool OrvLauncherOptions::Parse(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--check") {
            check = true;
        } else if (word == "--debug") {
            debug = true;
        } else {
            error = "Unknown option: " + word;
            return false;
        }
    }
    return true;
}
