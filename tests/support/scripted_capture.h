#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/capture_source.h"

// A scripted stand-in for the sound card, for tests of any folder. The
// recorder's own capture thread reads it like a device, so the blocks take
// the same path as real ones: capture thread -> OnInputBlock -> one message
// to the owner per block.
//
// How a test uses it:
//
//   auto script = std::make_shared<ScriptedCapture>(blocks);  // or a generator
//   SetCaptureSourceFactory(script->Factory());   // or pass it to OpenRecorder
//   OpenRecorder(sound, &owner);                  // the script's open result
//   sound.ArmRecording(44100, true, 10);
//   script->Deliver(3);                           // let three blocks through
//   script->WaitProcessed(3);                     // OnInputBlock has handled them
//   ...handle the messages the owner queued...
//   CloseRecorder(sound);
//   SetCaptureSourceFactory({});                  // back to the sound card
//
// By default nothing is delivered until Deliver is called ("manual"), so a
// test decides exactly how many blocks the recorder sees. SetPace switches
// to delivering one block per interval on its own. Blocks are numbered from
// 0 across the whole life of the script, also across several opens.
//
// Threads: the control functions may be called from any thread; the
// script's data is guarded by its own mutex (the test double may lock; the
// recorder's per-block path does not).
class ScriptedCapture : public std::enable_shared_from_this<ScriptedCapture> {
public:
    // Fills `block` with block number `blockIndex` (up to `capacity`
    // samples) and returns how many it stored (cut to 0..capacity).
    using Generator =
        std::function<std::int32_t(std::int64_t blockIndex, std::int16_t* block, std::int32_t capacity)>;

    // Delivers the given blocks in order (each cut at the capacity of a read,
    // 8192 samples), then silent full blocks for ever.
    explicit ScriptedCapture(std::vector<std::vector<std::int16_t>> blocks);
    explicit ScriptedCapture(Generator generator);

    // A factory for SetCaptureSourceFactory or OpenRecorder: each source it
    // makes reads this script. The script must be held by a shared_ptr.
    CaptureSourceFactory Factory();

    // What the next opens return: Open's code (0, 2, 3 or 4) and Start's
    // code (0 or 4). Default 0 and 0.
    void SetOpenResult(std::int16_t code);
    void SetStartResult(std::int16_t code);

    // Manual mode: lets `count` more blocks through to the recorder.
    void Deliver(std::int64_t count);

    // Automatic mode: one block every `interval` (zero: as fast as the
    // recorder takes them) for as long as the source is open.
    void SetPace(std::chrono::microseconds interval);

    // Waits until `total` blocks in all have been through OnInputBlock, or
    // the timeout runs out. True when they have.
    bool WaitProcessed(std::int64_t total,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));

    // Blocks that have been through OnInputBlock so far.
    std::int64_t Processed() const;

    // True while a source of this script is open (Open succeeded, no Close
    // yet), and whether that source has been started.
    bool IsOpen() const;
    bool IsStarted() const;

private:
    friend class ScriptedSource;

    std::int16_t SourceOpen();
    std::int16_t SourceStart();
    std::int32_t SourceRead(std::int16_t* block, std::int32_t capacity);
    void SourceBlockProcessed();
    void SourceInterrupt();
    void SourceClose();

    const Generator generator;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::int16_t openResult = 0;
    std::int16_t startResult = 0;
    bool paced = false;
    std::chrono::microseconds pace{0};
    bool open = false;
    bool started = false;
    bool interrupted = false;
    std::int64_t released = 0;   // blocks Deliver has let through
    std::int64_t read = 0;       // blocks handed to the capture thread
    std::int64_t processed = 0;  // blocks OnInputBlock has finished
};
