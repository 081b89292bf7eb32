#pragma once
#include <atomic>
#include <cstdint>
#include <memory>

#include "data/recorder_owner.h"
#include "data/recorder_state.h"

// Wave-format record of the one sound: always PCM, mono, 44100 Hz, 16 bits.
struct WaveFormat {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};

// What the sample array holds, as far as saving is concerned. Only zero
// against non-zero is ever tested.
enum class SoundState : std::uint32_t {
    None = 0,      // nothing complete to save
    Saved = 1,     // written to a file
    Recorded = 2,  // a complete recording, not yet saved
};

// The device side of the capture (stream, capture thread). Defined by the
// audio layer; the sound buffer only owns it so that destroying the buffer
// closes the device before the samples it writes into are freed.
struct CaptureDevice;
using CaptureDeviceDeleter = void (*)(CaptureDevice*);

// The one sound the program analyses, plus the state it shares with the
// capture thread. Everything but the members marked "capture thread" is
// touched only by the user-interface thread.
class SoundBuffer {
public:
    SoundBuffer() = default;
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;
    ~SoundBuffer();

    // Replaces the sample array by an uninitialised one of `count` samples.
    // Does not change sampleCount.
    void AllocateSamples(std::int32_t count);

    // AllocateSamples(length) and fills `format` for mono PCM with the given
    // rate and sample width; sampleCount := length. cbSize is left alone.
    void SetFormat(std::int32_t sampleRate, std::int32_t length, std::int32_t bitsPerSample);

    // Arms a new capture of `length` samples. With waitForTrigger the
    // threshold becomes triggerLevel x 327 and the state WaitForTrigger,
    // otherwise the state becomes Recording at once. The previous sound is
    // gone. Call only while the state is Stopped or Analysing.
    void ArmRecording(std::int32_t length, bool waitForTrigger, int triggerLevel);

    // Takes over the finished sound of `recorded` (a sound file played
    // through a recorder of its own): its samples, count and format, with
    // soundState Recorded; `recorded` is left without samples. Waits, as
    // ArmRecording does, for a capture block still copying into the old
    // array. Call only while the state is Stopped.
    void TakeSound(SoundBuffer& recorded);

    // Abandons the capture: a recording in progress is discarded.
    void StopRecording();

    // The capture reported that targetLength samples are stored.
    void FinishRecording();

    // Speed adjustment: resamples by linear interpolation to
    // trunc(sampleCount / factor) samples, so every frequency in the sound is
    // multiplied by `factor`. `format` and soundState are unchanged.
    void Stretch(double factor);

    WaveFormat format;
    std::int32_t sampleCount = 0;
    std::unique_ptr<std::int16_t[]> samples;
    SoundState soundState = SoundState::None;

    // --- Shared with the capture thread ---------------------------------
    // Receives the capture's messages; set once by the recorder's open.
    RecorderOwner* owner = nullptr;
    // Written by the capture thread, read by the UI after WM_RECORDER_LEVEL /
    // WM_RECORDING_DONE; reset by the UI in ArmRecording before `state`.
    std::atomic<std::int32_t> recordedCount{0};
    // Written by the UI (arming, slider), read by the capture thread.
    std::atomic<std::int16_t> threshold{0};
    // Written by the capture thread per block, read by the UI (level meter).
    std::atomic<std::int16_t> blockPeak{0};
    // Set to overloadHold by the capture thread, decremented by the UI.
    std::atomic<std::int16_t> overloadCount{0};
    // Value loaded into overloadCount by an overloaded block (10).
    std::int16_t overloadHold = 0;
    // Set by the UI when the device is being closed; read by the capture thread.
    std::atomic<std::uint8_t> closing{0};
    // Written by both sides; the UI stores it last with release when arming,
    // the capture thread loads it with acquire before it copies samples.
    std::atomic<RecorderState> state{RecorderState::Stopped};
    // Written by the UI before `state` when arming; read by the capture thread.
    std::atomic<std::int16_t*> destination{nullptr};
    // Set by the capture thread (sequentially consistent) before it reads
    // `state` for a block and cleared after its last write into the samples;
    // ArmRecording waits for it to clear before it frees the old array, so a
    // block that saw Recording just before a Stop never writes into freed memory.
    std::atomic<std::uint8_t> copying{0};
    // Written by the UI before `state` when arming; read by the capture thread.
    std::atomic<std::int32_t> targetLength{0};
    // Set by the UI once the input device has been started.
    std::uint8_t deviceOpen = 0;
    // The open device, if any. Declared after `samples` so that it is
    // destroyed (and the device closed) before the samples are freed.
    std::unique_ptr<CaptureDevice, CaptureDeviceDeleter> device{nullptr, [](CaptureDevice*) {}};
};
