#pragma once
// A device thread stuck in a call into its device (a read or a write that
// never returns) cannot be joined: waiting for it would hang the window.
// These wait a bounded time for it, then leave it the objects it may still
// touch. User-interface thread.
#include <atomic>
#include <chrono>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// Waits up to 2 s (a healthy device takes a block well within that) until
// `finished` says the thread is done; true when it is.
template <class Done>
bool WaitForDeviceThread(const Done& finished) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!finished() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return finished();
}

// Detaches `device->thread` and leaves `device` (and all it owns) to it, on
// purpose never freed.
template <class Device>
void AbandonDevice(Device* device) {
    device->thread.detach();
#if defined(__SANITIZE_ADDRESS__)
    __lsan_ignore_object(device);  // the leak checker would call that a leak
#endif
}
