#include "animation/OrvEnvelopeValues.h"

#include <cstring>

uint32_t OrvEnvelopeValues::IndexOf(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    // Looked up first: most values are seen many times, and adding makes a node.
    auto found = indexByBits.find(bits);
    if (found != indexByBits.end())
        return found->second;
    uint32_t index = static_cast<uint32_t>(values.size());
    indexByBits.emplace(bits, index);
    values.push_back(value);
    return index;
}
