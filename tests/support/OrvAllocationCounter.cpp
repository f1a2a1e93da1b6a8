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
// The nothrow forms too (std::stable_sort asks for its buffer with them), so that every
// allocation is counted and every block is freed by the allocator that made it.
__attribute__((noinline)) void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size ? size : 1);
}
__attribute__((noinline)) void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
__attribute__((noinline)) void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
__attribute__((noinline)) void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
