#ifndef ORV_ENGINE_CORE_ORVWHOLEFILE_H
#define ORV_ENGINE_CORE_ORVWHOLEFILE_H

// Reads a file whole into memory, bounded: the one way the engine's binary file readers (3DS
// models, pictures, vector images) take a file in before checking its structure. Only a
// regular file is read (a folder, a pipe or a device could not be read whole, or never end),
// and its size is checked against the caller's limit before anything is allocated. Owns
// nothing; throws nothing; says nothing to the user: the callers word their own messages.

#include <cstdint>
#include <string>

class OrvWholeFile {
public:
    enum Result {
        Read,       // `bytes` holds the whole file
        Unreadable, // no regular file there, or it could not be read whole
        TooLarge    // longer than the limit; `size` says how long, nothing was read
    };

    // `size` is the file's length whenever there is a regular file there.
    static Result Load(const std::string& path, std::uint64_t maxBytes, std::string& bytes,
                       std::uint64_t& size);
};

#endif
