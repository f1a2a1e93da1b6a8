#ifndef ORV_RUNTIME_ORVSYNCMESSAGEREADER_H
#define ORV_RUNTIME_ORVSYNCMESSAGEREADER_H

// Reads what a sync editor sends, from bytes as they arrive in pieces: first its greeting
// "hello, demo!", then one-byte commands, their numbers big-endian 32-bit integers and floats:
//   0 SET_KEY     track, row, value (float), key type (one byte: 0 step, 1 linear,
//                 2 smooth, 3 ramp)
//   1 DELETE_KEY  track, row
//   2 GET_TRACK   name length, name (only ever sent to an editor; read for completeness)
//   3 SET_ROW     row
//   4 PAUSE       one flag byte (not 0: paused)
//   5 SAVE_TRACKS
//
// The bytes go into a buffer of fixed size (Capacity) through Space/Commit; Next takes one
// whole message out, or says it needs more bytes. Anything else is malformed: a wrong
// greeting, an unknown command, an unknown key type, a name longer than MaxNameLength (no
// message of the protocol has one). A malformed stream stays malformed (Error() says why);
// the reader never reads past what it was given and never allocates after construction.
// Whether a track number was asked for is the connection's business, not the reader's.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class OrvSyncMessageReader {
public:
    static const size_t Capacity = 64 * 1024;
    static const uint32_t MaxNameLength = 4096;

    enum class Kind : unsigned char {
        SetKey = 0,
        DeleteKey = 1,
        GetTrack = 2,
        SetRow = 3,
        Pause = 4,
        SaveTracks = 5,
        Greeting
    };
    struct Message {
        Kind kind;
        uint32_t track;
        uint32_t row;
        float value;
        unsigned char keyType;
        bool paused;
        const char* name; // GetTrack: into the reader's buffer, valid until the next Commit
        uint32_t nameLength;
    };
    enum class Result { Message, NeedMore, Malformed };

    OrvSyncMessageReader();
    // Back to the start: expecting the greeting, buffer empty, no error.
    void Reset();

    // Where the next bytes go, and how many fit (0 when the buffer holds only unread bytes
    // of whole messages still to be taken).
    char* Space();
    size_t SpaceSize() const;
    void Commit(size_t count);

    Result Next(Message& message);
    const std::string& Error() const { return error; }

private:
    Result Fail(const char* why);
    uint32_t Word(size_t at) const;

    std::vector<char> buffer;
    size_t begin; // the first unread byte
    size_t end;   // one past the last byte written
    bool greeted;
    std::string error;
};

#endif
