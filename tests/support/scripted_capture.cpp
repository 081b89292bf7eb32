#include "tests/support/scripted_capture.h"

#include <algorithm>
#include <utility>

// The recorder's view of a script: every call goes to the shared script, so
// the test keeps its handle after the recorder has destroyed the source.
class ScriptedSource final : public CaptureSource {
public:
    explicit ScriptedSource(std::shared_ptr<ScriptedCapture> script) : script(std::move(script)) {}
    ~ScriptedSource() override { Close(); }

    std::int16_t Open() override {
        const std::int16_t code = script->SourceOpen();
        opened = code == 0;
        return code;
    }
    std::int16_t Start() override { return script->SourceStart(); }
    std::int32_t Read(std::int16_t* block, std::int32_t capacity) override {
        return script->SourceRead(block, capacity);
    }
    void BlockProcessed() override { script->SourceBlockProcessed(); }
    void Interrupt() override { script->SourceInterrupt(); }
    void Close() override {
        if (opened) script->SourceClose();
        opened = false;
    }

private:
    std::shared_ptr<ScriptedCapture> script;
    bool opened = false;
};

namespace {

ScriptedCapture::Generator FromBlocks(std::vector<std::vector<std::int16_t>> blocks) {
    return [blocks = std::move(blocks)](std::int64_t index, std::int16_t* block, std::int32_t capacity) {
        if (index >= static_cast<std::int64_t>(blocks.size())) {
            std::fill(block, block + capacity, std::int16_t{0});
            return capacity;
        }
        const std::vector<std::int16_t>& given = blocks[static_cast<std::size_t>(index)];
        const auto count = static_cast<std::int32_t>(
            std::min<std::size_t>(given.size(), static_cast<std::size_t>(capacity)));
        std::copy(given.begin(), given.begin() + count, block);
        return count;
    };
}

}  // namespace

ScriptedCapture::ScriptedCapture(std::vector<std::vector<std::int16_t>> blocks)
    : generator(FromBlocks(std::move(blocks))) {}

ScriptedCapture::ScriptedCapture(Generator generator) : generator(std::move(generator)) {}

CaptureSourceFactory ScriptedCapture::Factory() {
    std::shared_ptr<ScriptedCapture> self = shared_from_this();
    return [self]() -> std::unique_ptr<CaptureSource> { return std::make_unique<ScriptedSource>(self); };
}

void ScriptedCapture::SetOpenResult(std::int16_t code) {
    std::lock_guard lock(mutex);
    openResult = code;
}

void ScriptedCapture::SetStartResult(std::int16_t code) {
    std::lock_guard lock(mutex);
    startResult = code;
}

void ScriptedCapture::Deliver(std::int64_t count) {
    std::lock_guard lock(mutex);
    released += count;
    changed.notify_all();
}

void ScriptedCapture::SetPace(std::chrono::microseconds interval) {
    std::lock_guard lock(mutex);
    paced = true;
    pace = interval;
    changed.notify_all();
}

bool ScriptedCapture::WaitProcessed(std::int64_t total, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return processed >= total; });
}

std::int64_t ScriptedCapture::Processed() const {
    std::lock_guard lock(mutex);
    return processed;
}

bool ScriptedCapture::IsOpen() const {
    std::lock_guard lock(mutex);
    return open;
}

bool ScriptedCapture::IsStarted() const {
    std::lock_guard lock(mutex);
    return started;
}

std::int16_t ScriptedCapture::SourceOpen() {
    std::lock_guard lock(mutex);
    if (openResult != 0) return openResult;
    open = true;
    started = false;
    interrupted = false;
    return 0;
}

std::int16_t ScriptedCapture::SourceStart() {
    std::lock_guard lock(mutex);
    if (startResult != 0) return startResult;
    started = true;
    return 0;
}

std::int32_t ScriptedCapture::SourceRead(std::int16_t* block, std::int32_t capacity) {
    std::unique_lock lock(mutex);
    // Paced: wait out the interval (a manual Deliver does not shorten it).
    // Manual: wait until a block has been let through.
    if (paced) {
        changed.wait_for(lock, pace, [&] { return interrupted || !paced; });
    }
    changed.wait(lock, [&] { return interrupted || paced || read < released; });
    if (interrupted) return -1;
    const std::int64_t index = read++;
    lock.unlock();
    const std::int32_t count = generator(index, block, capacity);
    return std::clamp(count, std::int32_t{0}, capacity);
}

void ScriptedCapture::SourceBlockProcessed() {
    std::lock_guard lock(mutex);
    ++processed;
    changed.notify_all();
}

void ScriptedCapture::SourceInterrupt() {
    std::lock_guard lock(mutex);
    interrupted = true;
    changed.notify_all();
}

void ScriptedCapture::SourceClose() {
    std::lock_guard lock(mutex);
    open = false;
    started = false;
}
