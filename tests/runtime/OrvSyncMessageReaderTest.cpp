// The reader of a sync editor's bytes: every command, whole messages out of any cut of the
// stream, and each kind of malformed stream refused with a reason.

#include "runtime/OrvSyncMessageReader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
using Reader = OrvSyncMessageReader;

std::string Word(uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string Float(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Word(bits);
}

void Feed(Reader& reader, const std::string& bytes) {
    ASSERT_LE(bytes.size(), reader.SpaceSize());
    std::memcpy(reader.Space(), bytes.data(), bytes.size());
    reader.Commit(bytes.size());
}

// Every message of `bytes`, fed `piece` bytes at a time; the last result is in `result`.
std::vector<Reader::Message> ReadAll(const std::string& bytes, size_t piece, Reader::Result& result,
                                     Reader& reader) {
    std::vector<Reader::Message> messages;
    size_t at = 0;
    Reader::Message message;
    while (true) {
        while ((result = reader.Next(message)) == Reader::Result::Message)
            messages.push_back(message);
        if (result == Reader::Result::Malformed || at == bytes.size())
            return messages;
        std::string part = bytes.substr(at, piece);
        at += part.size();
        Feed(reader, part);
    }
}
} // namespace

TEST(OrvSyncMessageReader, ReadsEveryCommandWhateverTheCuts) {
    std::string stream = std::string("hello, demo!") + std::string(1, '\0') + Word(2) + Word(96) +
                         Float(-1.5f) + char(2) + char(1) + Word(1) + Word(7) + // DELETE_KEY
                         char(3) + Word(123456) +                               // SET_ROW
                         char(4) + char(1) + char(4) + char(0) +                // PAUSE, resume
                         char(5) +                                              // SAVE_TRACKS
                         char(2) + Word(5) + "cam:x";                           // GET_TRACK
    for (size_t piece : {size_t(1), size_t(3), size_t(13), stream.size()}) {
        Reader reader;
        Reader::Result result;
        std::vector<Reader::Message> messages = ReadAll(stream, piece, result, reader);
        ASSERT_EQ(Reader::Result::NeedMore, result) << piece << ": " << reader.Error();
        ASSERT_EQ(8u, messages.size()) << piece;
        EXPECT_EQ(Reader::Kind::Greeting, messages[0].kind);
        EXPECT_EQ(Reader::Kind::SetKey, messages[1].kind);
        EXPECT_EQ(2u, messages[1].track);
        EXPECT_EQ(96u, messages[1].row);
        EXPECT_EQ(-1.5f, messages[1].value);
        EXPECT_EQ(2, messages[1].keyType);
        EXPECT_EQ(Reader::Kind::DeleteKey, messages[2].kind);
        EXPECT_EQ(1u, messages[2].track);
        EXPECT_EQ(7u, messages[2].row);
        EXPECT_EQ(Reader::Kind::SetRow, messages[3].kind);
        EXPECT_EQ(123456u, messages[3].row);
        EXPECT_TRUE(messages[4].paused);
        EXPECT_FALSE(messages[5].paused);
        EXPECT_EQ(Reader::Kind::SaveTracks, messages[6].kind);
        EXPECT_EQ(Reader::Kind::GetTrack, messages[7].kind);
        EXPECT_EQ(5u, messages[7].nameLength);
    }
    // Far more than the buffer holds, a bit at a time: the room comes back as messages go.
    std::string flood = "hello, demo!";
    for (int i = 0; i < 20000; ++i)
        flood += std::string(1, '\0') + Word(0) + Word(i) + Float(i) + char(1);
    Reader reader;
    Reader::Result result;
    EXPECT_EQ(20001u, ReadAll(flood, 5000, result, reader).size());
}

TEST(OrvSyncMessageReader, RefusesMalformedStreamsWithAReason) {
    struct Case {
        std::string bytes;
        std::string reason;
    };
    std::string hello = "hello, demo!";
    std::vector<Case> cases = {
        {"hello, world!", "greet"},
        {"HTTP/1.1 200", "greet"},
        {hello + char(9), "unknown command"},
        {hello + char(5) + char(6), "unknown command"},
        {hello + std::string(1, '\0') + Word(0) + Word(0) + Float(1) + char(4), "key type"},
        {hello + char(2) + Word(5000) + "x", "name"},
        {hello + char(2) + Word(0xFFFFFFFF), "name"},
    };
    for (const Case& c : cases) {
        Reader reader;
        Reader::Result result;
        ReadAll(c.bytes, 4, result, reader);
        EXPECT_EQ(Reader::Result::Malformed, result) << c.reason;
        EXPECT_NE(std::string::npos, reader.Error().find(c.reason)) << reader.Error();
        Reader::Message message;
        EXPECT_EQ(Reader::Result::Malformed, reader.Next(message)); // it stays so
        reader.Reset();
        Feed(reader, hello);
        EXPECT_EQ(Reader::Result::Message, reader.Next(message)); // until reset
    }
}
