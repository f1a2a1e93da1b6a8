#ifndef ORV_CAPTURE_ORVOUTPUTFILE_H
#define ORV_CAPTURE_ORVOUTPUTFILE_H

// One file written so that it is either whole under its final name or not there at all: the
// bytes go to the final name plus ".part", and only Commit renames that to the final name.
// A write that fails (a full disk, a file size limit, a folder that went away) makes the
// file fail for good: later writes do nothing, Commit removes the ".part" file and returns
// false. The first failure's text, "Could not write <path>: <system's reason>", stays in
// Error().
//
// Ownership: owns the open descriptor; the destructor of a file that was neither committed
// nor abandoned abandons it (the ".part" file is removed). Not copyable. One thread at a time.

#include <cstddef>
#include <string>

class OrvOutputFile {
public:
    OrvOutputFile();
    ~OrvOutputFile();
    OrvOutputFile(const OrvOutputFile&) = delete;
    OrvOutputFile& operator=(const OrvOutputFile&) = delete;

    // Creates (or empties) the ".part" file. False with Error() set when it cannot.
    bool Open(const std::string& path);
    // Appends all `size` bytes, retrying short writes. False once anything failed.
    bool Write(const void* data, size_t size);
    // Closes and renames to the final name; false (and nothing left behind) after a failure.
    bool Commit();
    // Closes and removes the ".part" file.
    void Abandon();

    const std::string& Error() const { return error; }
    // The name the bytes go to until Commit.
    std::string PartPath() const { return path + ".part"; }

private:
    void Fail(const std::string& what);

    int descriptor;
    std::string path;
    std::string error;
};

#endif
