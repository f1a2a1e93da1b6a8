#include "OrvLauncher.h"
#include "OrvLauncherOptions.h"

#include <cstdio>

// Without options Run plays the show; "--debug" plays it in debug mode (with
// "--sync HOST:PORT", timed by the sync editor there); "--check" checks it.
int main(int argc, char** argv) {
    OrvLauncherOptions options;
    if (!options.Parse(argc, argv)) {
        std::fprintf(stderr, "%s\n%s\n", options.Error().c_str(), OrvLauncherOptions::Usage);
        return 1;
    }
    return options.Check() ? OrvLauncher::Check()
                           : OrvLauncher::Run(options.Debug(), options.SyncAddress());
}
