#pragma once
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "audio/capture_source.h"

// A scripted sound card, read by the recorder's own capture thread like a device. Nothing comes until
// Deliver lets blocks through; blocks are numbered from 0 over the script's life, across reopens too.
// Hold it in a shared_ptr; pass Factory() to SetCaptureSourceFactory or Recorder::Open.
class ScriptedCapture : public std::enable_shared_from_this<ScriptedCapture> {
public:
    // Fills block number `index` (up to `capacity` samples); returns how many, or -1: the device fails.
    using Generator = std::function<std::int32_t(std::int64_t index, std::int16_t* block, std::int32_t capacity)>;

    explicit ScriptedCapture(Generator generator) : generator(std::move(generator)) {}
    // The given blocks in order (cut at the capacity of a read), then silent full blocks.
    explicit ScriptedCapture(std::vector<std::vector<std::int16_t>> blocks)
        : generator([blocks = std::move(blocks)](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
              const auto given = index < std::ssize(blocks) ? blocks[index] : std::vector<std::int16_t>(capacity);
              std::copy_n(given.begin(), std::min<std::size_t>(given.size(), capacity), block);
              return static_cast<std::int32_t>(given.size());
          }) {}

    CaptureSourceFactory Factory() {
        return [self = shared_from_this()]() -> std::unique_ptr<CaptureSource> {
            return std::make_unique<Source>(self);
        };
    }
    // What the next opens return from Open (0, 2, 3 or 4) and Start (0 or 4).
    void SetOpenResult(std::int16_t code) { Change([&] { openResult = code; }); }
    void SetStartResult(std::int16_t code) { Change([&] { startResult = code; }); }
    void Deliver(std::int64_t count) { Change([&] { released += count; }); }
    // True once `total` blocks in all have been through OnInputBlock.
    bool WaitProcessed(std::int64_t total, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return processed >= total; });
    }
    bool IsOpen() const { const std::lock_guard lock(mutex); return open; }
    bool IsStarted() const { const std::lock_guard lock(mutex); return started; }

private:
    // What the recorder owns: every call goes to the script, which outlives it.
    struct Source final : CaptureSource {
        explicit Source(std::shared_ptr<ScriptedCapture> script) : s(std::move(script)) {}
        ~Source() override { Close(); }
        std::int16_t Open() override {
            const std::lock_guard lock(s->mutex);
            if (s->openResult == 0) { s->open = true; s->started = s->interrupted = false; }
            return s->openResult;
        }
        std::int16_t Start() override {
            return s->Change([&] { s->started = s->startResult == 0; return s->startResult; });
        }
        std::int32_t Read(std::int16_t* block, std::int32_t capacity) override {
            std::unique_lock lock(s->mutex);
            s->changed.wait(lock, [&] { return s->interrupted || s->read < s->released; });
            if (s->interrupted) return -1;
            const std::int64_t index = s->read++;
            lock.unlock();
            return std::min(s->generator(index, block, capacity), capacity);
        }
        void BlockProcessed() override { s->Change([&] { ++s->processed; }); }
        void Interrupt() override { s->Change([&] { s->interrupted = true; }); }
        void Close() override { s->Change([&] { s->open = s->started = false; }); }
        std::shared_ptr<ScriptedCapture> s;
    };

    // Runs `f` under the lock and wakes whoever waits.
    template <class F> auto Change(F f) -> decltype(f()) {
        const std::lock_guard lock(mutex);
        changed.notify_all();
        return f();
    }

    const Generator generator;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::int16_t openResult = 0, startResult = 0;
    bool open = false, started = false, interrupted = false;
    std::int64_t released = 0, read = 0, processed = 0;  // let through, handed out, through OnInputBlock
};
