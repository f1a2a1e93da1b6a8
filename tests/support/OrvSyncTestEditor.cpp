#include "support/OrvSyncTestEditor.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
std::string Word(uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

uint32_t WordAt(const std::string& bytes, size_t at) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}
} // namespace

OrvSyncTestEditor::OrvSyncTestEditor() {
    listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
}

OrvSyncTestEditor::~OrvSyncTestEditor() {
    if (peer >= 0)
        close(peer);
    close(listener);
}

std::string OrvSyncTestEditor::Address() const {
    return "127.0.0.1:" + std::to_string(port);
}

void OrvSyncTestEditor::Listen() {
    listen(listener, 1);
}

bool OrvSyncTestEditor::Accept(int timeoutMs) {
    pollfd watch{listener, POLLIN, 0};
    if (poll(&watch, 1, timeoutMs) != 1)
        return false;
    Drop();
    peer = accept(listener, nullptr, nullptr);
    if (peer < 0)
        return false;
    // Every message leaves at once, as the editor sends it.
    int one = 1;
    setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (Read(19, timeoutMs > 2000 ? timeoutMs : 2000) != "hello, synctracker!")
        return false;
    Send("hello, demo!");
    return true;
}

void OrvSyncTestEditor::Drop() {
    if (peer >= 0)
        close(peer);
    peer = -1;
    incoming.clear();
}

void OrvSyncTestEditor::Pump(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (peer >= 0) {
        pollfd watch{peer, POLLIN, 0};
        if (poll(&watch, 1, 20) == 1) {
            char bytes[4096];
            ssize_t got = recv(peer, bytes, sizeof bytes, 0);
            if (got <= 0)
                break;
            incoming.append(bytes, static_cast<size_t>(got));
            Parse();
        } else if (std::chrono::steady_clock::now() >= until) {
            break;
        }
    }
}

bool OrvSyncTestEditor::WaitForTracks(size_t count, int timeoutMs) {
    for (int waited = 0; tracks.size() < count && waited < timeoutMs; waited += 50)
        Pump(50);
    return tracks.size() >= count;
}

void OrvSyncTestEditor::Parse() {
    while (!incoming.empty()) {
        char command = incoming[0];
        if (command == 2 && incoming.size() >= 5 && incoming.size() >= 5 + WordAt(incoming, 1)) {
            uint32_t length = WordAt(incoming, 1);
            tracks.push_back(incoming.substr(5, length));
            incoming.erase(0, 5 + length);
        } else if (command == 3 && incoming.size() >= 5) {
            rows.push_back(WordAt(incoming, 1));
            incoming.erase(0, 5);
        } else if (command != 2 && command != 3) {
            malformed = true;
            incoming.clear();
        } else {
            return;
        }
    }
}

std::string OrvSyncTestEditor::Read(size_t count, int timeoutMs) {
    std::string bytes;
    while (bytes.size() < count) {
        pollfd watch{peer, POLLIN, 0};
        if (poll(&watch, 1, timeoutMs) != 1)
            break;
        char chunk[64];
        ssize_t got = recv(peer, chunk, std::min(sizeof chunk, count - bytes.size()), 0);
        if (got <= 0)
            break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

void OrvSyncTestEditor::SetKey(uint32_t track, uint32_t row, float value, char type) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    Send(std::string(1, '\0') + Word(track) + Word(row) + Word(bits) + type);
}

void OrvSyncTestEditor::SetRow(uint32_t row) {
    Send(char(3) + Word(row));
}

void OrvSyncTestEditor::Pause(bool paused) {
    Send(std::string{char(4), char(paused ? 1 : 0)});
}

void OrvSyncTestEditor::Save() {
    Send(std::string(1, char(5)));
}

void OrvSyncTestEditor::Send(const std::string& bytes) {
    send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}
