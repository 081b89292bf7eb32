#include "audio/recorder.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

// The open device: the capture source, the block it reads into and the
// capture thread. Owned by SoundBuffer::device, so destroying the sound
// closes the device before the samples it writes into are freed.
struct CaptureDevice {
    SoundBuffer* sound = nullptr;
    std::unique_ptr<CaptureSource> source;
    std::unique_ptr<std::int16_t[]> block;
    std::thread thread;
    // Set by the capture thread (seq_cst) while it touches the sound or the
    // source outside a read; read by the closing thread after `abandoned`.
    std::atomic<bool> inBlock{false};
    // Set by the closing thread (seq_cst) when it gives up waiting; read by
    // the capture thread after `inBlock`, so one of the two always sees the
    // other: an abandoned thread never touches the sound again.
    std::atomic<bool> abandoned{false};
    // Set by the capture thread (release) as its last act; read by the
    // closing thread (acquire) while it waits.
    std::atomic<bool> finished{false};
};

namespace {

CaptureSourceFactory& ChosenFactory() {
    static CaptureSourceFactory factory;
    return factory;
}

// Capture thread. Nothing here allocates or locks; the only shared values
// are the SoundBuffer's atomics and the device's flags. `closing` is checked
// after every read, so the thread ends within one block once CloseRecorder
// has set it. A failed read that nobody asked for is a lost device: the
// owner hears of it once.
void CaptureLoop(CaptureDevice* device) {
    SoundBuffer& sound = *device->sound;
    for (;;) {
        device->inBlock.store(true);
        if (device->abandoned.load() || sound.closing.load(std::memory_order_acquire) != 0) break;
        device->inBlock.store(false);
        const std::int32_t count = device->source->Read(device->block.get(), kCaptureBlockSamples);
        device->inBlock.store(true);
        if (device->abandoned.load()) break;
        if (count < 0) {
            if (sound.closing.load(std::memory_order_acquire) == 0 && sound.owner != nullptr) {
                sound.owner->PostRecorderMessage(WM_RECORDER_LOST);
            }
            break;
        }
        // A block read before the close still posts its message, like a
        // block the device hands back while it is being reset.
        OnInputBlock(sound, device->block.get(), count);
        device->source->BlockProcessed();
    }
    device->inBlock.store(false);
    device->finished.store(true, std::memory_order_release);
}

// The deleter of SoundBuffer::device: ends the capture before anything is
// released. The thread must be gone before the source is stopped, because a
// blocking stream may not be stopped while another thread reads from it.
void CloseCaptureDevice(CaptureDevice* device) {
    if (device == nullptr) return;
    device->sound->closing.store(1, std::memory_order_release);
    device->source->Interrupt();
    // A healthy device returns within one block; a stalled one may never
    // return from its read, and exiting must not wait for it for ever.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!device->finished.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!device->finished.load(std::memory_order_acquire)) {
        device->abandoned.store(true);
        // The thread is either in its read, and will see `abandoned` when it
        // returns, or finishing a block, which takes microseconds.
        while (device->inBlock.load()) std::this_thread::yield();
        // The thread may still return from its read into the block and the
        // source: both are left to it, on purpose never freed.
        device->thread.detach();
#if defined(__SANITIZE_ADDRESS__)
        __lsan_ignore_object(device);  // the leak checker would call that a leak
#endif
        return;
    }
    device->thread.join();
    device->source->Close();
    delete device;
}

void ResetCaptureMembers(SoundBuffer& sound, RecorderOwner* owner) {
    sound.owner = owner;
    sound.state.store(RecorderState::Stopped, std::memory_order_relaxed);
    sound.closing.store(0, std::memory_order_relaxed);
    sound.overloadCount.store(0, std::memory_order_relaxed);
    sound.blockPeak.store(0, std::memory_order_relaxed);
    sound.recordedCount.store(0, std::memory_order_relaxed);
    sound.overloadHold = kOverloadHold;
}

void WriteCaptureFormat(WaveFormat& format) {
    format.wFormatTag = 1;
    format.nChannels = 1;
    format.nSamplesPerSec = 44100;
    format.nAvgBytesPerSec = 88200;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
}

}  // namespace

void SetCaptureSourceFactory(CaptureSourceFactory factory) { ChosenFactory() = std::move(factory); }

CaptureSourceFactory CurrentCaptureSourceFactory() {
    const CaptureSourceFactory& chosen = ChosenFactory();
    if (chosen) return chosen;
    return &MakePortAudioCapture;
}

std::int16_t OpenRecorder(SoundBuffer& sound, RecorderOwner* owner) {
    return OpenRecorder(sound, owner, CurrentCaptureSourceFactory());
}

std::int16_t OpenRecorder(SoundBuffer& sound, RecorderOwner* owner, const CaptureSourceFactory& factory) {
    if (owner == nullptr) return kRecorderNoOwner;
    CloseRecorder(sound);
    ResetCaptureMembers(sound, owner);
    WriteCaptureFormat(sound.format);

    std::unique_ptr<CaptureSource> source = factory ? factory() : nullptr;
    if (!source) return kRecorderOpenFailed;
    const std::int16_t opened = source->Open();
    if (opened != kRecorderOpened) return opened;
    // A source that opened but will not start is closed here, by its
    // destructor, rather than left open for the rest of the run.
    if (source->Start() != kRecorderOpened) return kRecorderStartFailed;

    auto* device = new CaptureDevice;
    device->sound = &sound;
    device->source = std::move(source);
    device->block.reset(new std::int16_t[kCaptureBlockSamples]);
    // Everything the capture thread reads is written above; starting the
    // thread publishes it.
    device->thread = std::thread(CaptureLoop, device);
    sound.device = std::unique_ptr<CaptureDevice, CaptureDeviceDeleter>(device, &CloseCaptureDevice);
    sound.deviceOpen = 1;
    return kRecorderOpened;
}

void CloseRecorder(SoundBuffer& sound) {
    sound.closing.store(1, std::memory_order_release);
    sound.device.reset();
    sound.deviceOpen = 0;
}
