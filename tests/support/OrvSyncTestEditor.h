#ifndef ORV_TESTS_SUPPORT_ORVSYNCTESTEDITOR_H
#define ORV_TESTS_SUPPORT_ORVSYNCTESTEDITOR_H

// The editor's end of the sync-tracker protocol, written from the protocol alone for the tests:
// a socket on the loopback address and a port of its own (bound at once, listening when
// asked, so a show can first be refused), the greeting ("hello, synctracker!" answered by
// "hello, demo!"), the editor's commands, and what the show sends back: track requests
// (GET_TRACK) in order, which are the tracks' numbers, and rows (SET_ROW). Owns its sockets.

#include <cstdint>
#include <string>
#include <vector>

class OrvSyncTestEditor {
public:
    OrvSyncTestEditor();
    ~OrvSyncTestEditor();
    OrvSyncTestEditor(const OrvSyncTestEditor&) = delete;
    OrvSyncTestEditor& operator=(const OrvSyncTestEditor&) = delete;

    // "127.0.0.1:PORT".
    std::string Address() const;
    void Listen();
    // Accepts a show that connected (waiting up to `timeoutMs`), checks its greeting and
    // answers it; a connection before is dropped. False when none came or it greeted wrongly.
    bool Accept(int timeoutMs = 0);
    void Drop();
    // Reads what the show sends, for `ms` and until nothing more comes for 20 ms.
    void Pump(int ms = 0);
    // Pumps until the show asked for `count` tracks in all.
    bool WaitForTracks(size_t count, int timeoutMs);

    void SetKey(uint32_t track, uint32_t row, float value, char type);
    void SetRow(uint32_t row);
    void Pause(bool paused);
    void Save();
    void Send(const std::string& bytes);

    std::vector<std::string> tracks; // the names asked for, in order
    std::vector<uint32_t> rows;      // the show's SET_ROW messages
    bool malformed = false;          // the show sent something else

private:
    std::string Read(size_t count, int timeoutMs);
    void Parse();

    int listener = -1;
    int peer = -1;
    int port = 0;
    std::string incoming;
};

#endif
