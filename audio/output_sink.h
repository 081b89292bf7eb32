#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// The device side of the player: something that takes blocks of signed
// 16-bit mono samples at 44100 Hz and sounds them. The player owns one per
// playing block and runs its own thread, which calls Write in a loop. The
// default sink is the system's default output through PortAudio; tests put
// a scripted sink of their own in its place.
//
// Threads: Open, Start, Interrupt and Close are called on the thread that
// starts and stops the player (the user-interface thread); Write and Drain
// only on the player's thread, never at the same time as Open, Start or
// Close.
class OutputSink {
public:
    virtual ~OutputSink() = default;

    // Asks the default output whether it takes 44100 Hz mono 16-bit and
    // opens it. Returns 0 when open, otherwise a code of Player::Play: 2 (no
    // output device, or the format is refused), 3 (it cannot be opened) or 4
    // (the sound system cannot be initialised). On failure nothing stays open.
    virtual std::int16_t Open() = 0;

    // Starts an open sink: 0, or 4 when it refuses. On failure the caller
    // destroys the sink, which releases everything.
    virtual std::int16_t Start() = 0;

    // Player thread: hands `count` samples (1 ... kPlaybackBlockSamples) to
    // the device, waiting while the device has no room for them. False when
    // the device can take nothing more (failed, or interrupted), which ends
    // the player's thread.
    virtual bool Write(const std::int16_t* samples, std::int32_t count) = 0;

    // Player thread, after the last Write of a block played to its end:
    // waits until the device has sounded what it was given (at most its
    // latency, about 50 ms).
    virtual void Drain() {}

    // Stopping: called after the player's `stopping` flag is set, while the
    // player's thread may be waiting in Write. Makes such a wait end within
    // about one block. A sink whose Write always returns within one block
    // may do nothing here.
    virtual void Interrupt() = 0;

    // Called once the player's thread has ended: stops at once and closes
    // whatever Open and Start opened. Harmless when called again or when
    // never opened; the destructor does the same.
    virtual void Close() = 0;
};

// Makes a fresh, unopened sink; called once by each Player::Play.
using OutputSinkFactory = std::function<std::unique_ptr<OutputSink>()>;

// The system's default output device through PortAudio: 1 channel,
// paInt16, 44100 Hz, blocking writes.
std::unique_ptr<OutputSink> MakePortAudioOutput();

// Chooses the sink that CurrentOutputSinkFactory gives from now on. An empty
// factory restores the default (MakePortAudioOutput). User-interface thread
// only; affects the next Player::Play, not a block already playing.
void SetOutputSinkFactory(OutputSinkFactory factory);

// The factory the window's player plays with (never empty).
OutputSinkFactory CurrentOutputSinkFactory();
