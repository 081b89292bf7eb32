#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/output_sink.h"

// The player: sounds a block of 16-bit mono samples at 44100 Hz on an
// output sink (the default output unless a test chooses another), sample
// for sample, from its own thread, and tells its owner when it has ended.

// Samples per block handed to the device: 1024, about 23.2 ms at 44100 Hz.
inline constexpr std::int32_t kPlaybackBlockSamples = 1024;
// The playback's sample rate, Hz.
inline constexpr std::int32_t kPlaybackRate = 44100;

// Result codes of Player::Play; PlayerStartText gives their texts.
inline constexpr std::int16_t kPlayerStarted = 0;        // "Playing"
inline constexpr std::int16_t kPlayerNothingToPlay = 1;  // "Nothing to play!"
inline constexpr std::int16_t kPlayerNoOutput = 2;       // "No sound output device!"
inline constexpr std::int16_t kPlayerOpenFailed = 3;     // "Failed to open sound output!"
inline constexpr std::int16_t kPlayerStartFailed = 4;    // "Sound output failed to start!"

// The message text of a Play code; "Sound error!" for any other.
const char* PlayerStartText(std::int16_t code);

// How a playing block ended, as Player::Poll reports it once.
enum class PlayerEnd : std::int16_t {
    None = 0,          // still playing, or already reported
    Finished = 1,      // every sample was handed to the device and sounded
    OutputLost = 2,    // the device failed part-way
};

// The device side of a playing block (sink, samples, thread, progress).
struct PlaybackDevice;

// Threads: every operation runs on the owner's (user-interface) thread;
// the player's own thread only writes to the device and publishes its
// progress, which Position reads.
class Player {
public:
    Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    // Stops playing before anything the thread reads is released.
    ~Player();

    // Stops what is playing, then opens a sink made by `factory`, starts it
    // and plays `samples` from the first. The player shares the samples, so
    // they outlive a new recording or analysis. Returns 0, or 1 (null or no
    // samples), 2 (no default output, or it refuses the format), 3 (the
    // device cannot be opened), 4 (it cannot be started, or the sound system
    // cannot be initialised); on failure nothing is open or playing, and
    // Position and Length still tell of the block played before.
    std::int16_t Play(std::shared_ptr<const std::vector<std::int16_t>> samples, const OutputSinkFactory& factory);

    // Stops playing: ends and joins the player's thread (within about one
    // block, ~23 ms, plus the device's latency when it is draining the
    // end), stops and closes the device at once. A device stalled in a
    // write is given 2 s; then its thread is left behind with the sink and
    // samples it holds, never to touch the player again. Position keeps the
    // samples handed over; no end is reported for a stop. Harmless when
    // nothing plays.
    void Stop();

    // Once the player's thread has ended by itself: joins it, closes the
    // device and returns how it ended (Finished or OutputLost), once;
    // otherwise None. Owner's periodic check (a timer of ~50 ms).
    PlayerEnd Poll();

    // True from a successful Play until Stop or until Poll has reported the end.
    bool IsPlaying() const { return device_ != nullptr; }
    // Samples handed to the device so far, 0 ... Length(); they sound within
    // the device's latency.
    std::int64_t Position() const;
    // Samples of the block last played (0 before any).
    std::int64_t Length() const { return lengthSamples_; }

private:
    void Release(bool waitForFinish);

    std::int64_t lengthSamples_ = 0;
    // Position when no device is open (after a stop or an end).
    std::int64_t keptPosition_ = 0;
    std::unique_ptr<PlaybackDevice> device_;
};
