#ifndef ORV_LAUNCHER_ORVLAUNCHEROPTIONS_H
#define ORV_LAUNCHER_ORVLAUNCHEROPTIONS_H

// The launcher's command line. Without options Run plays the show. Each option is one word,
// given in any order, repeats allowed; adding one is one branch in Parse and one flag here:
//   --debug   play the show in debug mode (OrvRun's debug flag: a window preselected, the
//             log on the console, debug keys and live reload)
//   --sync HOST:PORT
//             debug mode, with the sync editor at HOST:PORT instead of localhost:1338
//             (OrvRunSync); the address is the next word
//   --check   check the show instead of playing it (the engine's OrvCheck); with both,
//             the check is done
// Anything else is refused: Parse returns false and Error() names the word; Usage is the
// line to print then.

#include <string>

class OrvLauncherOptions {
public:
    static constexpr const char* Usage = "Usage: Run [--debug] [--sync HOST:PORT] | --check";

    // Reads argv[1] to argv[argc - 1]; false at the first word that is no option.
    bool Parse(int argc, const char* const* argv);

    bool Check() const { return check; }
    bool Debug() const { return debug || !syncAddress.empty(); }
    // The sync editor's address given with --sync; empty when none.
    const std::string& SyncAddress() const { return syncAddress; }
    // "Unknown option: " and the word Parse refused.
    const std::string& Error() const { return error; }

private:
    bool check = false;
    bool debug = false;
    std::string syncAddress;
    std::string error;
};

#endif
