#include "runtime/OrvSyncClient.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const char ClientGreeting[] = "hello, synctracker!";

void PutWord(char* at, uint32_t value) {
    at[0] = static_cast<char>(value >> 24);
    at[1] = static_cast<char>(value >> 16);
    at[2] = static_cast<char>(value >> 8);
    at[3] = static_cast<char>(value);
}
} // namespace

OrvSyncClient::OrvSyncClient(const std::string& address)
    : host("localhost"), port("1338"), socketId(-1), state(State::Idle), attempted(false),
      lastAttempt(0), attempts(0), newConnection(false), tracksAsked(0), readThisFrame(0) {
    size_t colon = address.rfind(':');
    std::string name = colon == std::string::npos ? address : address.substr(0, colon);
    if (!name.empty())
        host = name;
    if (colon != std::string::npos) {
        std::string number = address.substr(colon + 1);
        char* rest = nullptr;
        long value = std::strtol(number.c_str(), &rest, 10);
        if (!number.empty() && rest && *rest == 0 && value > 0 && value < 65536)
            port = number;
    }
    queue.reserve(4096);
}

OrvSyncClient::~OrvSyncClient() {
    Close();
}

void OrvSyncClient::Close() {
    if (socketId >= 0)
        ::close(socketId);
    socketId = -1;
    state = State::Idle;
    queue.clear();
    reader.Reset();
    tracksAsked = 0;
    newConnection = false;
}

void OrvSyncClient::Fail(const std::string& why) {
    std::fprintf(stderr, "Sync editor at %s:%s: %s; the connection is closed\n", host.c_str(),
                 port.c_str(), why.c_str());
    std::fflush(stderr);
    Close();
}

bool OrvSyncClient::Resolve() {
    if (!addresses.empty())
        return true;
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found)
        return false;
    for (addrinfo* at = found; at; at = at->ai_next) {
        if (at->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        Address address;
        address.family = at->ai_family;
        std::memset(&address.bytes, 0, sizeof address.bytes);
        std::memcpy(&address.bytes, at->ai_addr, at->ai_addrlen);
        address.size = at->ai_addrlen;
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return !addresses.empty();
}

void OrvSyncClient::StartConnecting(unsigned now) {
    attempted = true;
    lastAttempt = now;
    if (!Resolve())
        return;
    // "localhost" may name ::1 first and an editor listen on 127.0.0.1 only: every address is
    // tried, starting with the next one at each attempt, until one connects or is under way (a
    // refusal on this machine comes at once).
    const int count = static_cast<int>(addresses.size());
    for (int i = 0; i < count && state == State::Idle; ++i) {
        const Address& at = addresses[static_cast<size_t>((attempts + i) % count)];
        int id = ::socket(at.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (id < 0)
            continue;
        if (::connect(id, reinterpret_cast<const sockaddr*>(&at.bytes), at.size) == 0 ||
            errno == EINPROGRESS) {
            socketId = id;
            state = State::Connecting;
            int one = 1;
            setsockopt(id, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        } else {
            ::close(id);
        }
    }
    ++attempts;
}

void OrvSyncClient::Update(unsigned now) {
    readThisFrame = 0;
    if (state == State::Idle) {
        if (attempted && now - lastAttempt < RetryInterval)
            return;
        StartConnecting(now);
        if (state == State::Idle)
            return;
    }
    if (state == State::Connecting) {
        // A connection under way is writable once it is done; poll without waiting.
        pollfd watch{socketId, POLLOUT, 0};
        if (::poll(&watch, 1, 0) <= 0) {
            if (now - lastAttempt >= RetryInterval)
                Close(); // still not there after a second: try afresh
            return;
        }
        int problem = 0;
        socklen_t size = sizeof problem;
        if (getsockopt(socketId, SOL_SOCKET, SO_ERROR, &problem, &size) != 0 || problem != 0) {
            Close();
            return;
        }
        state = State::Greeting;
        reader.Reset();
        Queue(ClientGreeting, sizeof ClientGreeting - 1);
    }
    Flush();
    if (state == State::Greeting || state == State::Ready)
        ReadSome();
}

void OrvSyncClient::ReadSome() {
    while (socketId >= 0 && readThisFrame < MaxReadPerFrame) {
        size_t room = reader.SpaceSize();
        size_t want = MaxReadPerFrame - readThisFrame;
        if (want > room)
            want = room;
        if (want == 0)
            return;
        ssize_t got = ::recv(socketId, reader.Space(), want, MSG_DONTWAIT);
        if (got > 0) {
            reader.Commit(static_cast<size_t>(got));
            readThisFrame += static_cast<size_t>(got);
            if (state == State::Greeting) {
                OrvSyncMessageReader::Message greeting;
                OrvSyncMessageReader::Result result = reader.Next(greeting);
                if (result == OrvSyncMessageReader::Result::Malformed) {
                    Fail(reader.Error());
                    return;
                }
                if (result == OrvSyncMessageReader::Result::Message) {
                    state = State::Ready;
                    newConnection = true;
                }
            }
            continue;
        }
        if (got == 0) {
            Close(); // the editor went away; the keys stay with the caller
            return;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            Close();
        return;
    }
}

bool OrvSyncClient::TakeNewConnection() {
    bool fresh = newConnection;
    newConnection = false;
    return fresh;
}

bool OrvSyncClient::Next(OrvSyncMessageReader::Message& message) {
    if (state != State::Ready)
        return false;
    OrvSyncMessageReader::Result result = reader.Next(message);
    if (result == OrvSyncMessageReader::Result::NeedMore)
        return false;
    if (result == OrvSyncMessageReader::Result::Malformed) {
        Fail(reader.Error());
        return false;
    }
    using Kind = OrvSyncMessageReader::Kind;
    if ((message.kind == Kind::SetKey || message.kind == Kind::DeleteKey) &&
        message.track >= static_cast<uint32_t>(tracksAsked)) {
        Fail("a key for track " + std::to_string(message.track) + ", which was never asked for");
        return false;
    }
    if (message.kind == Kind::GetTrack || message.kind == Kind::Greeting) {
        Fail("an editor asking for a track");
        return false;
    }
    return true;
}

void OrvSyncClient::Queue(const char* bytes, size_t count) {
    if (queue.size() + count > MaxQueued) {
        Fail("the editor does not read what the show sends");
        return;
    }
    queue.insert(queue.end(), bytes, bytes + count);
}

void OrvSyncClient::Flush() {
    if (socketId < 0 || queue.empty() || state == State::Connecting)
        return;
    ssize_t sent = ::send(socketId, queue.data(), queue.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent > 0) {
        queue.erase(queue.begin(), queue.begin() + sent);
    } else if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        Close();
    }
}

void OrvSyncClient::SendGetTrack(const std::string& name) {
    if (state != State::Ready)
        return;
    char head[5];
    head[0] = 2;
    PutWord(head + 1, static_cast<uint32_t>(name.size()));
    Queue(head, sizeof head);
    Queue(name.data(), name.size());
    ++tracksAsked;
    Flush();
}

void OrvSyncClient::SendSetRow(uint32_t row) {
    if (state != State::Ready)
        return;
    char message[5];
    message[0] = 3;
    PutWord(message + 1, row);
    Queue(message, sizeof message);
    Flush();
}
