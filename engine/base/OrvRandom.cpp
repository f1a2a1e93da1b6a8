#include "base/OrvRandom.h"

OrvRandom::OrvRandom() : state(1) {}

int OrvRandom::Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}
