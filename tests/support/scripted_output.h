#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/output_sink.h"

// A scripted sound output, written by the player's own thread like a device. Blocks are taken only as
// Accept lets them through (unless free-running); what is taken is kept in `played`, which has room for
// kRoom samples so taking a block never allocates. Hold it in a shared_ptr; pass Factory() to
// SetOutputSinkFactory or Player::Play.
class ScriptedOutput : public std::enable_shared_from_this<ScriptedOutput> {
public:
    static constexpr std::size_t kRoom = 1 << 22;
    ScriptedOutput() { played.reserve(kRoom); }

    OutputSinkFactory Factory() {
        return [self = shared_from_this()]() -> std::unique_ptr<OutputSink> { return std::make_unique<Sink>(self); };
    }
    // What the next opens return from Open (0, 2, 3 or 4) and Start (0 or 4).
    void SetOpenResult(std::int16_t code) { Change([&] { openResult = code; }); }
    void SetStartResult(std::int16_t code) { Change([&] { startResult = code; }); }
    // The write of block number `index` (counted over the script's life) fails.
    void FailAtBlock(std::int64_t index) { Change([&] { failAt = index; }); }
    // Writes ignore Interrupt: a stalled device.
    void Stall() { Change([&] { stalled = true; }); }
    void Accept(std::int64_t blocks) { Change([&] { accepted += blocks; }); }
    void FreeRunning() { Change([&] { accepted = INT64_MAX; }); }
    bool WaitWritten(std::int64_t total, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return written >= total; });
    }
    // True once `total` writes in all have begun (taken or still waiting).
    bool WaitEntered(std::int64_t total) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return entered >= total; });
    }
    bool IsOpen() const { const std::lock_guard lock(mutex); return open; }
    std::int64_t Written() const { const std::lock_guard lock(mutex); return written; }
    std::int64_t Drains() const { const std::lock_guard lock(mutex); return drains; }
    std::vector<std::int16_t> Played() const { const std::lock_guard lock(mutex); return played; }

private:
    struct Sink final : OutputSink {
        explicit Sink(std::shared_ptr<ScriptedOutput> script) : s(std::move(script)) {}
        ~Sink() override { Close(); }
        std::int16_t Open() override { return s->Change([&] { s->open = s->openResult == 0; return s->openResult; }); }
        std::int16_t Start() override { return s->Change([&] { return s->startResult; }); }
        bool Write(const std::int16_t* samples, std::int32_t count) override {
            std::unique_lock lock(s->mutex);
            ++s->entered;
            s->changed.notify_all();
            s->changed.wait(lock, [&] { return (interrupted && !s->stalled) || s->written < s->accepted; });
            if (s->written < s->accepted && s->written != s->failAt) {
                if (s->played.size() + count <= kRoom) s->played.insert(s->played.end(), samples, samples + count);
                ++s->written;
                s->changed.notify_all();
                return true;
            }
            return false;
        }
        void Drain() override { s->Change([&] { ++s->drains; }); }
        void Interrupt() override { s->Change([&] { interrupted = true; }); }
        void Close() override { s->Change([&] { s->open = false; }); }
        std::shared_ptr<ScriptedOutput> s;
        bool interrupted = false;  // under s->mutex
    };

    template <class F> auto Change(F f) -> decltype(f()) {
        const std::lock_guard lock(mutex);
        changed.notify_all();
        return f();
    }

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::int16_t openResult = 0, startResult = 0;
    std::int64_t failAt = -1, accepted = 0, written = 0, entered = 0, drains = 0;
    bool open = false, stalled = false;
    std::vector<std::int16_t> played;
};
