#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/capture_source.h"
#include "audio/recorder_messages.h"
#include "data/recording.h"

// The recorder: captures the default input in blocks of 8192 samples for
// the life of its owner, measures each block's peak for the level meter and
// the overload indicator, fires the trigger, copies a recording into a
// block of its own and hands the finished recording over as a Recording.

// Samples per capture block: 8192, about 185.8 ms at 44100 Hz.
inline constexpr std::int32_t kCaptureBlockSamples = 8192;
// The capture's sample rate, Hz.
inline constexpr std::int32_t kCaptureRate = 44100;
// A block whose peak is above this (90 % of full scale) is an overload.
inline constexpr std::int16_t kOverloadPeak = 29491;
// Level messages for which the overload indicator stays lit.
inline constexpr std::int16_t kOverloadHold = 10;

// Result codes of Recorder::Open; RecorderOpenText gives their texts.
inline constexpr std::int16_t kRecorderOpened = 0;          // "Recording initialised"
inline constexpr std::int16_t kRecorderNoOwner = 1;         // "No dialog pointer!"
inline constexpr std::int16_t kRecorderFormatRefused = 2;   // "Sound format not supported!"
inline constexpr std::int16_t kRecorderOpenFailed = 3;      // "Failed to open sound device!"
inline constexpr std::int16_t kRecorderStartFailed = 4;     // "Sound driver initialise failure!"

// The message text of an Open code; "Sound error!" for any other.
const char* RecorderOpenText(std::int16_t code);

// What the recorder does with the blocks it receives.
enum class RecorderState : std::int16_t {
    Stopped = 0,         // measures them only
    WaitForTrigger = 1,  // measures them and waits for one above the threshold
    Recording = 2,       // copies them into the recording
};

// The device side of an open recorder (source, capture thread, block).
struct CaptureDevice;

// Threads: every operation runs on the owner's (user-interface) thread
// except OnInputBlock, which the capture thread calls for each block.
class Recorder {
public:
    // `owner` receives one message per block (may be null: a recorder fed
    // by hand, as a sound file is, is watched through State instead).
    explicit Recorder(RecorderOwner* owner = nullptr);
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    // Closes the device before anything it writes into is freed.
    ~Recorder();

    // Opens a source made by `factory` and starts capturing: from now on
    // every block goes through OnInputBlock on the recorder's capture thread
    // and posts one message; a device that fails (a read error that no close
    // asked for) posts WM_RECORDER_LOST once and captures nothing more. A
    // recorder that is already open is closed first; the state becomes
    // Stopped and the level, overload and count start from 0.
    // Returns 0, or 1 (no owner), 2 (no default input, or it refuses the
    // format), 3 (the device cannot be opened), 4 (it cannot be started, or
    // the sound system cannot be initialised); on failure nothing stays open.
    std::int16_t Open(const CaptureSourceFactory& factory);

    // Stops the capture: ends and joins the capture thread (within about one
    // block, ~186 ms), stops and closes the device. A device stalled in a
    // read is given 2 s; then its thread is left behind (never to touch the
    // recorder again) with the source and block it holds, and the close
    // returns. Afterwards no further message is posted. Harmless when called
    // again or when never opened.
    void Close();
    bool IsOpen() const { return device_ != nullptr; }

    // Arms a new capture of `length` samples (> 0). With waitForTrigger the
    // threshold becomes triggerLevel x 327 and the state WaitForTrigger,
    // otherwise the state becomes Recording at once. A recording not yet
    // taken is dropped. Call only while Stopped.
    void Arm(std::int32_t length, bool waitForTrigger, int triggerLevel);
    // Arms waiting for a block whose peak exceeds `threshold` (0 ... 32767).
    void ArmAtThreshold(std::int32_t length, std::int16_t threshold);

    // The trigger slider moved: threshold := triggerLevel x 327.
    void SetTriggerLevel(int triggerLevel);

    // Abandons waiting or recording: a recording in progress is dropped.
    void Stop();

    // After WM_RECORDING_DONE (or once State is Stopped after a recording
    // was armed): the complete recording, live, completed now; the recorder
    // keeps nothing of it. False, with `recording` unchanged, when no
    // complete recording is waiting to be taken.
    bool TakeRecording(Recording& recording);

    RecorderState State() const { return state_.load(std::memory_order_acquire); }
    std::int32_t RecordedCount() const { return recordedCount_.load(std::memory_order_acquire); }
    std::int16_t Threshold() const { return threshold_.load(std::memory_order_relaxed); }
    // The last block's peak (largest positive sample, 0 ... 32767).
    std::int16_t BlockPeak() const { return blockPeak_.load(std::memory_order_relaxed); }
    // Once per level message: true while an overload is held, counting the
    // hold down (an overloaded block holds it for kOverloadHold messages).
    bool CountDownOverload();

    // Processes one captured block of `sampleCount` samples (0 ... 8192; a
    // short block counts only its own samples): measures its peak (largest
    // positive sample, 0 when none), fires the trigger when the peak is above
    // the threshold while waiting for it, copies into the recording while
    // recording (cut at its length), updates the level and the overload
    // hold, and posts exactly one message: WM_RECORDING_DONE for the block
    // that completes the recording (after the state is Stopped and the last
    // sample is copied), otherwise WM_RECORDER_LEVEL. Allocates nothing,
    // takes no lock. Capture thread (tests and the sound-file capture call it
    // directly on one thread).
    void OnInputBlock(const std::int16_t* block, std::int32_t sampleCount);

private:
    // Copies as much of the block as the recording lacks; the copied peak.
    std::int16_t CopyIntoRecording(const std::int16_t* block, std::int32_t count);
    void ArmWith(std::int32_t length, RecorderState state);

    RecorderOwner* const owner_;
    // The recording being captured: allocated by Arm on this side, written
    // by the capture thread while Recording, taken by TakeRecording.
    std::vector<std::int16_t> samples_;

    // Written by both sides; the owner stores it last with release when
    // arming, the capture thread loads it before it copies samples.
    std::atomic<RecorderState> state_{RecorderState::Stopped};
    // Written by the capture thread, read by the owner after a message;
    // reset by the owner in Arm before `state_`.
    std::atomic<std::int32_t> recordedCount_{0};
    // Written by the owner before `state_` when arming; read by the capture thread.
    std::atomic<std::int32_t> targetLength_{0};
    std::atomic<std::int16_t*> destination_{nullptr};
    // Written by the owner (arming, slider), read by the capture thread.
    std::atomic<std::int16_t> threshold_{0};
    // Written by the capture thread per block, read by the owner (level meter).
    std::atomic<std::int16_t> blockPeak_{0};
    // Set to kOverloadHold by the capture thread, counted down by the owner.
    std::atomic<std::int16_t> overloadCount_{0};
    // Set by the capture thread (sequentially consistent) before it reads
    // `state_` for a block and cleared after its last write into the
    // samples; Arm waits for it to clear before it replaces them, so a block
    // that saw Recording just before a Stop never writes into freed memory.
    std::atomic<std::uint8_t> copying_{0};

    // The open device, if any; declared last, so that it is closed before
    // the members above are destroyed.
    struct DeviceCloser {
        void operator()(CaptureDevice* device) const;
    };
    std::unique_ptr<CaptureDevice, DeviceCloser> device_;
};
