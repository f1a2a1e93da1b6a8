#include "runtime/OrvSyncMessageReader.h"

#include <cstring>

namespace {
const char Greeting[] = "hello, demo!";
const size_t GreetingLength = sizeof Greeting - 1;
} // namespace

OrvSyncMessageReader::OrvSyncMessageReader() : buffer(Capacity), begin(0), end(0), greeted(false) {
    error.reserve(128);
}

void OrvSyncMessageReader::Reset() {
    begin = end = 0;
    greeted = false;
    error.clear();
}

char* OrvSyncMessageReader::Space() {
    if (begin > 0) {
        // Unread bytes move to the front so that a message never wraps.
        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        begin = 0;
    }
    return buffer.data() + end;
}

size_t OrvSyncMessageReader::SpaceSize() const {
    return Capacity - (end - begin);
}

void OrvSyncMessageReader::Commit(size_t count) {
    // Space() moved the unread bytes to the front; a count past the room is cut to it.
    size_t room = Capacity - end;
    end += count < room ? count : room;
}

uint32_t OrvSyncMessageReader::Word(size_t at) const {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(buffer.data() + at);
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           uint32_t(bytes[3]);
}

OrvSyncMessageReader::Result OrvSyncMessageReader::Fail(const char* why) {
    if (error.empty())
        error = why;
    return Result::Malformed;
}

OrvSyncMessageReader::Result OrvSyncMessageReader::Next(Message& message) {
    if (!error.empty())
        return Result::Malformed;
    size_t available = end - begin;
    const char* at = buffer.data() + begin;
    if (!greeted) {
        size_t compared = available < GreetingLength ? available : GreetingLength;
        if (std::memcmp(at, Greeting, compared) != 0)
            return Fail("the editor did not greet as a sync editor");
        if (available < GreetingLength)
            return Result::NeedMore;
        begin += GreetingLength;
        greeted = true;
        message = Message();
        message.kind = Kind::Greeting;
        return Result::Message;
    }
    if (available == 0)
        return Result::NeedMore;
    unsigned char command = static_cast<unsigned char>(at[0]);
    size_t length = 0;
    switch (command) {
    case 0:
        length = 14;
        break;
    case 1:
        length = 9;
        break;
    case 2:
        if (available < 5)
            return Result::NeedMore;
        if (Word(begin + 1) > MaxNameLength)
            return Fail("a track name longer than any track's");
        length = 5 + Word(begin + 1);
        break;
    case 3:
        length = 5;
        break;
    case 4:
        length = 2;
        break;
    case 5:
        length = 1;
        break;
    default:
        return Fail("an unknown command");
    }
    if (available < length)
        return Result::NeedMore;
    message = Message();
    message.kind = static_cast<Kind>(command);
    switch (message.kind) {
    case Kind::SetKey: {
        message.track = Word(begin + 1);
        message.row = Word(begin + 5);
        uint32_t bits = Word(begin + 9);
        std::memcpy(&message.value, &bits, sizeof bits);
        message.keyType = static_cast<unsigned char>(at[13]);
        if (message.keyType > 3)
            return Fail("an unknown key type");
        break;
    }
    case Kind::DeleteKey:
        message.track = Word(begin + 1);
        message.row = Word(begin + 5);
        break;
    case Kind::GetTrack:
        message.nameLength = Word(begin + 1);
        message.name = at + 5;
        break;
    case Kind::SetRow:
        message.row = Word(begin + 1);
        break;
    case Kind::Pause:
        message.paused = at[1] != 0;
        break;
    default:
        break;
    }
    begin += length;
    return Result::Message;
}
