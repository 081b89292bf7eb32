#include "audio/recorder.h"

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
};

namespace {

CaptureSourceFactory& ChosenFactory() {
    static CaptureSourceFactory factory;
    return factory;
}

// Capture thread. Nothing here allocates or locks; the only shared values
// are the SoundBuffer's atomics. `closing` is checked after every read, so
// the thread ends within one block once CloseRecorder has set it.
void CaptureLoop(CaptureDevice* device) {
    SoundBuffer& sound = *device->sound;
    while (sound.closing.load(std::memory_order_acquire) == 0) {
        const std::int32_t count = device->source->Read(device->block.get(), kCaptureBlockSamples);
        if (count < 0) break;
        // A block read before the close still posts its message, like a
        // block the device hands back while it is being reset.
        OnInputBlock(sound, device->block.get(), count);
        device->source->BlockProcessed();
    }
}

// The deleter of SoundBuffer::device: ends the capture before anything is
// released. The thread must be gone before the source is stopped, because a
// blocking stream may not be stopped while another thread reads from it.
void CloseCaptureDevice(CaptureDevice* device) {
    if (device == nullptr) return;
    device->sound->closing.store(1, std::memory_order_release);
    device->source->Interrupt();
    if (device->thread.joinable()) device->thread.join();
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
