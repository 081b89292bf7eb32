#pragma once
// Every allocation of the program counted, for tests that a real-time path
// (a capture block, a played block) makes none. Include in one source file
// of a test program only: it replaces the global operator new and delete.
#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long> allocations{0};
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    std::abort();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
