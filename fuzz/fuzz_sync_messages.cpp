// Feeds arbitrary bytes, in pieces of varying size, to the reader of a sync editor's messages
// (OrvSyncMessageReader) as a connection would: every message is taken out as soon as it is
// whole. The first byte chooses the piece size and whether the editor's greeting comes first,
// so the commands behind it are reached without the fuzzer having to find it.

#include "runtime/OrvSyncMessageReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static const char greeting[] = "hello, demo!";
    size_t piece = (data[0] >> 1) + 1;
    bool greet = (data[0] & 1) != 0;
    ++data;
    --size;
    OrvSyncMessageReader reader;
    if (greet) {
        std::memcpy(reader.Space(), greeting, sizeof greeting - 1);
        reader.Commit(sizeof greeting - 1);
    }
    size_t at = 0;
    OrvSyncMessageReader::Message message;
    while (true) {
        OrvSyncMessageReader::Result result;
        while ((result = reader.Next(message)) == OrvSyncMessageReader::Result::Message) {
            if (message.kind == OrvSyncMessageReader::Kind::GetTrack &&
                message.nameLength > OrvSyncMessageReader::MaxNameLength)
                std::abort();
            if (message.kind == OrvSyncMessageReader::Kind::SetKey && message.keyType > 3)
                std::abort();
        }
        if (result == OrvSyncMessageReader::Result::Malformed || at >= size)
            break;
        size_t count = size - at < piece ? size - at : piece;
        if (count > reader.SpaceSize())
            count = reader.SpaceSize();
        if (count == 0)
            break;
        std::memcpy(reader.Space(), data + at, count);
        reader.Commit(count);
        at += count;
    }
    return 0;
}
