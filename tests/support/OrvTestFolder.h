#ifndef ORV_TESTS_SUPPORT_ORVTESTFOLDER_H
#define ORV_TESTS_SUPPORT_ORVTESTFOLDER_H

// A temporary show folder with bin/ and data/ for tests. The working directory stays where it
// is: the engine is given the folder's data/ (DataPath("")) as its data folder. The destructor
// removes the folder.

#include <string>

class OrvTestFolder {
public:
    OrvTestFolder();
    ~OrvTestFolder();
    OrvTestFolder(const OrvTestFolder&) = delete;
    OrvTestFolder& operator=(const OrvTestFolder&) = delete;

    const std::string& Root() const { return root; }
    std::string BinPath(const std::string& name) const { return root + "/bin/" + name; }
    std::string DataPath(const std::string& name) const { return root + "/data/" + name; }

    // Writes bytes (any bytes, NULs included) to data/<name>; returns the full path.
    std::string WriteData(const std::string& name, const std::string& bytes) const;

private:
    std::string root;
};

// Whole file as bytes; empty when it cannot be read.
std::string OrvReadFile(const std::string& path);

// Copies a file or a whole folder (cp -r) and fails the running test when that fails. A
// folder given as "dir/." is copied as its contents.
void OrvCopyPath(const std::string& from, const std::string& to);

// Copies the built launcher into `directory` (which must exist) and returns the copy's path.
// The launcher works in the folder it lies in, so each show folder needs its own copy.
std::string OrvCopyLauncher(const std::string& directory);

#endif
