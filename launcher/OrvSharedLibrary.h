#ifndef ORV_LAUNCHER_ORVSHAREDLIBRARY_H
#define ORV_LAUNCHER_ORVSHAREDLIBRARY_H

// One shared library loaded by path at run time, and the addresses of its functions: the
// launcher's only contact with the system's library loader, for the engine and for SDL's
// message box. Open loads it with every symbol resolved at once and kept to itself; the
// destructor (or Close) unloads it. A failed Open leaves it closed. Never copied.

#include <string>

class OrvSharedLibrary {
public:
    OrvSharedLibrary() = default;
    ~OrvSharedLibrary();
    OrvSharedLibrary(const OrvSharedLibrary&) = delete;
    OrvSharedLibrary& operator=(const OrvSharedLibrary&) = delete;

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle != nullptr; }
    // The function's address, or null when the library has none of that name (or is closed).
    void* Symbol(const char* name) const;

private:
    void* handle = nullptr;
};

#endif
