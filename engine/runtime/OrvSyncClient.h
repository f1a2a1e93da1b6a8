#ifndef ORV_RUNTIME_ORVSYNCCLIENT_H
#define ORV_RUNTIME_ORVSYNCCLIENT_H

// The show's end of a connection to a sync editor over TCP, never blocking the frame.
//
// Update(now) is called once a frame with the real-time clock's milliseconds: without a
// connection it starts one (non-blocking) at most once every RetryInterval ms, quietly (the
// host's name is looked up on the first attempt only, and again only until a lookup works); a
// connection under way is checked without waiting; once it is up, the greeting
// "hello, synctracker!" is sent and the editor's answer awaited. Then at most MaxReadPerFrame
// bytes are read per frame, so an editor flooding keys delays no frame by much; Next hands
// out the whole messages read (OrvSyncMessageReader), checked against the tracks asked for on
// this connection (SendGetTrack numbers them 0, 1, ... in order).
//
// What ends a connection: the editor closing it (quietly, then retrying), or malformed bytes
// (an unknown command, a track number never asked for, a name longer than any, ...), which
// print one line on standard error. Keys already received are the caller's and stay.
// Messages to the editor wait in a bounded queue while the socket is full; overflowing it
// ends the connection too.
//
// Owns the socket. Allocates only when connecting and when queueing a track name. Main
// thread only.

#include "runtime/OrvSyncMessageReader.h"

#include <cstdint>
#include <string>
#include <sys/socket.h>
#include <vector>

class OrvSyncClient {
public:
    static const unsigned RetryInterval = 1000;
    static const size_t MaxReadPerFrame = 16 * 1024;
    static const size_t MaxQueued = 256 * 1024;

    // "HOST:PORT" (a name or a numeric address); a missing or bad port means 1338.
    explicit OrvSyncClient(const std::string& address);
    ~OrvSyncClient();
    OrvSyncClient(const OrvSyncClient&) = delete;
    OrvSyncClient& operator=(const OrvSyncClient&) = delete;

    void Update(unsigned now);
    // True once per connection, when the editor's greeting arrived: ask for the tracks now.
    bool TakeNewConnection();
    bool Connected() const { return state == State::Ready; }
    // The next message read this frame; false when there is none (or the connection ended).
    bool Next(OrvSyncMessageReader::Message& message);

    // Asks for a track; its number is the count of tracks asked for before on this connection.
    void SendGetTrack(const std::string& name);
    void SendSetRow(uint32_t row);
    int TracksAsked() const { return tracksAsked; }
    // Ends the connection (as if the editor had closed it).
    void Close();

private:
    enum class State { Idle, Connecting, Greeting, Ready };
    // One address the host's name stands for, as the resolver gave it.
    struct Address {
        int family;
        sockaddr_storage bytes;
        socklen_t size;
    };

    // Looks the host's name up once: a name server that answers slowly may hold up the
    // frame that asks, but only that one, not one a second while no editor is there.
    bool Resolve();

    void StartConnecting(unsigned now);
    void Fail(const std::string& why);
    void Queue(const char* bytes, size_t count);
    void Flush();
    void ReadSome();

    std::string host;
    std::string port;
    int socketId;
    State state;
    bool attempted;
    unsigned lastAttempt;
    int attempts;
    bool newConnection;
    int tracksAsked;
    size_t readThisFrame;
    OrvSyncMessageReader reader;
    std::vector<char> queue;
    std::vector<Address> addresses; // empty until a lookup succeeded
};

#endif
