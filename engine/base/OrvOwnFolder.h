#ifndef ORV_BASE_ORVOWNFOLDER_H
#define ORV_BASE_ORVOWNFOLDER_H

// Where the running code lives, so that a show folder works wherever it is copied and
// whatever the working directory is: the engine library's own folder (bin/, beside which
// data/ lies) and the running program's folder (Capture's show folder). Reads the file
// system's record of the process only; never changes directory.

#include <string>

class OrvOwnFolder {
public:
    // The folder of the file that holds this code (the engine library); "" when unknown.
    static std::string Library();
    // The folder of the running program (/proc/self/exe); "" when unknown.
    static std::string Program();
    // The data folder of a show whose engine library is in `binFolder`: binFolder/../data/,
    // or the working directory's ../data/ when binFolder is "".
    static std::string DataBesideBin(const std::string& binFolder);
    // The folder part of a file path ("/" for a file at the root, "" for a bare name).
    static std::string FolderOf(const std::string& file);
};

#endif
