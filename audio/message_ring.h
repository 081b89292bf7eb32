#pragma once
#include <array>
#include <atomic>
#include <cstdint>

// A fixed ring of message codes between exactly one writer thread (the
// capture thread) and one reader thread (the user-interface thread). Neither
// side allocates, locks or waits. The writer stores a code before it
// publishes the new end (release); the reader loads the end (acquire) before
// it reads a code, and publishes the new start after it.
class MessageRing {
public:
    static constexpr std::uint32_t kCapacity = 256;  // 47 s of blocks

    // Writer only: false when the ring is full (the code is dropped).
    bool Push(std::uint16_t code) {
        const std::uint32_t end = end_.load(std::memory_order_relaxed);
        if (end - start_.load(std::memory_order_acquire) == kCapacity) return false;
        codes_[end % kCapacity] = code;
        end_.store(end + 1, std::memory_order_release);
        return true;
    }

    // Reader only: the oldest code, or false when the ring is empty.
    bool Pop(std::uint16_t& code) {
        const std::uint32_t start = start_.load(std::memory_order_relaxed);
        if (start == end_.load(std::memory_order_acquire)) return false;
        code = codes_[start % kCapacity];
        start_.store(start + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<std::uint16_t, kCapacity> codes_{};
    // Written by the writer (release), read by the reader (acquire): codes
    // before it are stored.
    std::atomic<std::uint32_t> end_{0};
    // Written by the reader (release), read by the writer (acquire): codes
    // before it are consumed and their slots free.
    std::atomic<std::uint32_t> start_{0};
};
