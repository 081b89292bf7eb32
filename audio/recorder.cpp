#include "audio/recorder.h"

#include <thread>
#include <utility>

#include "audio/abandoned_thread.h"

// The open device: the capture source, the block it reads into and the
// capture thread. Owned by the recorder, which closes it before anything
// the thread writes into is freed.
struct CaptureDevice {
    Recorder* recorder = nullptr;
    std::unique_ptr<CaptureSource> source;
    std::unique_ptr<std::int16_t[]> block;
    std::thread thread;
    // Set by the closing thread (release); read by the capture thread
    // (acquire) after every read, so the thread ends within one block.
    std::atomic<bool> closing{false};
    // Set by the capture thread (seq_cst) while it touches the recorder or
    // the source outside a read; read by the closing thread after `abandoned`.
    std::atomic<bool> inBlock{false};
    // Set by the closing thread (seq_cst) when it gives up waiting; read by
    // the capture thread after `inBlock`, so one of the two always sees the
    // other: an abandoned thread never touches the recorder again.
    std::atomic<bool> abandoned{false};
    // Set by the capture thread (release) as its last act; read by the
    // closing thread (acquire) while it waits.
    std::atomic<bool> finished{false};
};

namespace {

// Capture thread. Nothing here allocates or locks; the only shared values
// are the recorder's atomics and the device's flags. A failed read that
// nobody asked for is a lost device: the owner hears of it once.
void CaptureLoop(CaptureDevice* device, RecorderOwner* owner) {
    for (;;) {
        device->inBlock.store(true);
        if (device->abandoned.load() || device->closing.load(std::memory_order_acquire)) break;
        device->inBlock.store(false);
        const std::int32_t count = device->source->Read(device->block.get(), kCaptureBlockSamples);
        device->inBlock.store(true);
        if (device->abandoned.load()) break;
        if (count < 0) {
            if (!device->closing.load(std::memory_order_acquire)) owner->PostRecorderMessage(WM_RECORDER_LOST);
            break;
        }
        // A block read before the close still posts its message, like a
        // block the device hands back while it is being reset.
        device->recorder->OnInputBlock(device->block.get(), count);
        device->source->BlockProcessed();
    }
    device->inBlock.store(false);
    device->finished.store(true, std::memory_order_release);
}

}  // namespace

// Ends the capture before anything is released. The thread must be gone
// before the source is stopped, because a blocking stream may not be stopped
// while another thread reads from it.
void Recorder::DeviceCloser::operator()(CaptureDevice* device) const {
    device->closing.store(true, std::memory_order_release);
    device->source->Interrupt();
    // A healthy device returns within one block; a stalled one may never
    // return from its read, and exiting must not wait for it for ever.
    if (!WaitForDeviceThread([device] { return device->finished.load(std::memory_order_acquire); })) {
        device->abandoned.store(true);
        // The thread is either in its read, and will see `abandoned` when it
        // returns, or finishing a block, which takes microseconds.
        while (device->inBlock.load()) std::this_thread::yield();
        // The thread may still return from its read into the block and the
        // source: both are left to it.
        AbandonDevice(device);
        return;
    }
    device->thread.join();
    device->source->Close();
    delete device;
}

Recorder::Recorder(RecorderOwner* owner) : owner_(owner) {}

Recorder::~Recorder() { Close(); }

std::int16_t Recorder::Open(const CaptureSourceFactory& factory) {
    if (owner_ == nullptr) return kRecorderNoOwner;
    Close();
    state_.store(RecorderState::Stopped, std::memory_order_relaxed);
    overloadCount_.store(0, std::memory_order_relaxed);
    blockPeak_.store(0, std::memory_order_relaxed);
    recordedCount_.store(0, std::memory_order_relaxed);

    std::unique_ptr<CaptureSource> source = factory ? factory() : nullptr;
    if (!source) return kRecorderOpenFailed;
    const std::int16_t opened = source->Open();
    if (opened != kRecorderOpened) return opened;
    // A source that opened but will not start is closed here, by its
    // destructor, rather than left open for the rest of the run.
    if (source->Start() != kRecorderOpened) return kRecorderStartFailed;

    auto* device = new CaptureDevice;
    device->recorder = this;
    device->source = std::move(source);
    device->block.reset(new std::int16_t[kCaptureBlockSamples]);
    // Everything the capture thread reads is written above; starting the
    // thread publishes it.
    device->thread = std::thread(CaptureLoop, device, owner_);
    device_.reset(device);
    return kRecorderOpened;
}

void Recorder::Close() { device_.reset(); }
