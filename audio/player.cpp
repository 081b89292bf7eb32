#include "audio/player.h"

#include <algorithm>
#include <thread>
#include <utility>

#include "audio/abandoned_thread.h"

// A playing block: the sink, the samples it plays and the player's thread.
// Everything the thread touches is here, so a thread left to a stalled
// device never touches the player.
struct PlaybackDevice {
    std::unique_ptr<OutputSink> sink;
    std::shared_ptr<const std::vector<std::int16_t>> samples;
    std::thread thread;
    // Written by the player's thread after each block (release), read by the
    // owner (acquire): samples handed to the device.
    std::atomic<std::int64_t> positionSamples{0};
    // Set by the owner (release) to stop; read by the player's thread
    // (acquire) before each block.
    std::atomic<bool> stopping{false};
    // Set by the player's thread (release) as its last act, to how it ended;
    // read by the owner (acquire), which then joins it.
    std::atomic<PlayerEnd> finished{PlayerEnd::None};
};

namespace {

// The player's thread. It writes straight from the shared samples: nothing
// here allocates, locks or waits on anything but the device.
void PlayLoop(PlaybackDevice* device) {
    const std::int16_t* samples = device->samples->data();
    const std::int64_t total = std::ssize(*device->samples);
    std::int64_t done = 0;
    PlayerEnd end = PlayerEnd::Finished;
    while (done < total) {
        if (device->stopping.load(std::memory_order_acquire)) break;
        const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(kPlaybackBlockSamples, total - done));
        if (!device->sink->Write(samples + done, count)) {
            end = PlayerEnd::OutputLost;
            break;
        }
        done += count;
        device->positionSamples.store(done, std::memory_order_release);
    }
    // Only a block played to its end waits for the device to sound it; a
    // stop cuts it off at once.
    if (done == total) device->sink->Drain();
    device->finished.store(end, std::memory_order_release);
}

}  // namespace

Player::Player() = default;

Player::~Player() { Stop(); }

std::int16_t Player::Play(std::shared_ptr<const std::vector<std::int16_t>> samples,
                          const OutputSinkFactory& factory) {
    Stop();
    if (!samples || samples->empty()) return kPlayerNothingToPlay;
    std::unique_ptr<OutputSink> sink = factory ? factory() : nullptr;
    if (!sink) return kPlayerOpenFailed;
    const std::int16_t opened = sink->Open();
    if (opened != kPlayerStarted) return opened;
    // A sink that opened but will not start is closed by its destructor here.
    if (sink->Start() != kPlayerStarted) return kPlayerStartFailed;

    auto device = std::make_unique<PlaybackDevice>();
    device->sink = std::move(sink);
    device->samples = std::move(samples);
    lengthSamples_ = std::ssize(*device->samples);
    keptPosition_ = 0;
    // Everything the thread reads is written above; starting it publishes it.
    device->thread = std::thread(PlayLoop, device.get());
    device_ = std::move(device);
    return kPlayerStarted;
}

void Player::Stop() {
    if (!device_) return;
    device_->stopping.store(true, std::memory_order_release);
    device_->sink->Interrupt();
    Release(true);
}

PlayerEnd Player::Poll() {
    if (!device_) return PlayerEnd::None;
    const PlayerEnd end = device_->finished.load(std::memory_order_acquire);
    if (end != PlayerEnd::None) Release(false);
    return end;
}

std::int64_t Player::Position() const {
    if (!device_) return keptPosition_;
    return device_->positionSamples.load(std::memory_order_acquire);
}

void Player::Release(bool waitForFinish) {
    PlaybackDevice* device = device_.release();
    // A healthy device takes a block within one block's time; a stalled one
    // may never return from its write, and the window must not wait for it.
    const auto finished = [device] { return device->finished.load(std::memory_order_acquire) != PlayerEnd::None; };
    const bool done = waitForFinish ? WaitForDeviceThread(finished) : finished();
    keptPosition_ = device->positionSamples.load(std::memory_order_acquire);
    if (!done) {
        // The thread owns the sink and samples from now on.
        AbandonDevice(device);
        return;
    }
    // The sink may only be stopped once no thread writes to it.
    device->thread.join();
    device->sink->Close();
    delete device;
}
