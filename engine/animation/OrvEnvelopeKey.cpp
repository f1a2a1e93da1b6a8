#include "animation/OrvEnvelopeKey.h"

OrvEnvelopeKey::OrvEnvelopeKey(uint32_t keyTime, Kind kind, uint32_t index)
    : time(keyTime), code((static_cast<uint32_t>(kind) << 30) | (index & (MaxIndex - 1))) {}

void OrvEnvelopeKey::SetKind(Kind kind) {
    code = (static_cast<uint32_t>(kind) << 30) | Index();
}
