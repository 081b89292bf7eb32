#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/output_sink.h"

// A scripted sound output, written by the player's own thread like a device: it takes blocks only as
// `accepted` lets them through, keeps them in `played` (room reserved: taking one never allocates) and
// fails the write numbered `failAt` (counted over its life). Hold it in a shared_ptr; pass Factory() to
// SetOutputSinkFactory or Player::Play. Its fields are set with Change and read with Get.
struct ScriptedOutput : std::enable_shared_from_this<ScriptedOutput> {
    ScriptedOutput() { played.reserve(1 << 22); }
    OutputSinkFactory Factory() {
        return [self = shared_from_this()] { return std::unique_ptr<OutputSink>(new Sink(self)); };
    }
    // Runs `f` under the lock and wakes a waiting write.
    template <class F> auto Change(F f) { const std::lock_guard lock(mutex); changed.notify_all(); return f(); }
    template <class T> T Get(const T& field) { return Change([&] { return field; }); }
    bool WaitWritten(std::int64_t total) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return written >= total; });
    }

    struct Sink final : OutputSink {
        explicit Sink(std::shared_ptr<ScriptedOutput> script) : s(std::move(script)) {}
        ~Sink() override { Close(); }
        std::int16_t Open() override { return s->Change([&] { s->open = s->openResult == 0; return s->openResult; }); }
        std::int16_t Start() override { return s->Get(s->startResult); }
        bool Write(const std::int16_t* samples, std::int32_t count) override {
            std::unique_lock lock(s->mutex);
            s->changed.wait(lock, [&] { return interrupted || s->written < s->accepted; });
            if (s->written >= s->accepted || s->written == s->failAt) return false;
            if (s->played.size() + count <= s->played.capacity()) s->played.insert(s->played.end(), samples, samples + count);
            ++s->written;
            s->changed.notify_all();
            return true;
        }
        void Drain() override { s->Change([&] { ++s->drains; }); }
        void Interrupt() override { s->Change([&] { interrupted = true; }); }
        void Close() override { s->Change([&] { s->open = false; }); }
        std::shared_ptr<ScriptedOutput> s;
        bool interrupted = false;  // under s->mutex
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::int16_t openResult = 0, startResult = 0;  // what Open and Start return
    std::int64_t failAt = -1, accepted = 0, written = 0, drains = 0;
    bool open = false;
    std::vector<std::int16_t> played;
};
