#include "support/OrvAllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
unsigned long allocations = 0;
} // namespace

unsigned long OrvAllocationCount() {
    return allocations;
}

// Out of line on purpose: inlined, GCC pairs a malloc with an operator delete and warns about
// a mismatch that is not there.
__attribute__((noinline)) void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
__attribute__((noinline)) void* operator new[](std::size_t size) {
    return operator new(size);
}
__attribute__((noinline)) void operator delete(void* memory) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete[](void* memory) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
