#pragma once
#include <cstdint>

#include "audio/capture_source.h"
#include "data/recorder_state.h"
#include "data/sound_buffer.h"

// The recorder: captures the default input in blocks of 8192 samples for
// the life of the main window, measures each block's peak for the level
// meter and the overload indicator, fires the trigger and copies a recording
// into the SoundBuffer. Arming, stopping and finishing a recording are the
// SoundBuffer's own operations (data/sound_buffer.h).

// Samples per capture block: 8192, about 185.8 ms at 44100 Hz.
inline constexpr std::int32_t kCaptureBlockSamples = 8192;
// A block whose peak is above this (90 % of full scale) is an overload.
inline constexpr std::int16_t kOverloadPeak = 29491;
// Level messages for which the overload indicator stays lit.
inline constexpr std::int16_t kOverloadHold = 10;

// Result codes of OpenRecorder; RecorderOpenText gives their texts.
inline constexpr std::int16_t kRecorderOpened = 0;          // "Recording initialised"
inline constexpr std::int16_t kRecorderNoOwner = 1;         // "No dialog pointer!"
inline constexpr std::int16_t kRecorderFormatRefused = 2;   // "Sound format not supported!"
inline constexpr std::int16_t kRecorderOpenFailed = 3;      // "Failed to open sound device!"
inline constexpr std::int16_t kRecorderStartFailed = 4;     // "Sound driver initialise failure!"

// Opens the capture source and starts capturing: from now on every block
// goes through OnInputBlock on the recorder's capture thread and posts one
// message to `owner`; a device that fails (a read error that no close asked
// for) posts WM_RECORDER_LOST once and captures nothing more. Resets the capture members (state Stopped, closing,
// blockPeak, overloadCount and recordedCount 0, overloadHold 10) and writes
// the capture format (PCM, mono, 44100 Hz, 16 bits, cbSize 0) into
// sound.format. A recorder that is already open is closed first.
// Returns 0, or 1 (no owner), 2 (no default input, or it refuses the
// format), 3 (the device cannot be opened), 4 (it cannot be started, or the
// sound system cannot be initialised); on failure nothing stays open.
// User-interface thread. The first form uses the factory chosen with
// SetCaptureSourceFactory (PortAudio by default).
std::int16_t OpenRecorder(SoundBuffer& sound, RecorderOwner* owner);
std::int16_t OpenRecorder(SoundBuffer& sound, RecorderOwner* owner,
                          const CaptureSourceFactory& factory);

// The message text of an OpenRecorder code; "Sound error!" for any other.
const char* RecorderOpenText(std::int16_t code);

// Stops the capture: sets `closing`, ends and joins the capture thread
// (within about one block, ~186 ms), stops and closes the device and frees
// the capture block. A device stalled in a read is given 2 s; then its
// thread is left behind (never to touch the sound again) with the source
// and block it holds, and the close returns. Afterwards nothing writes into sound.samples and no
// further message is posted. Harmless when called again or when the
// recorder never opened; destroying the SoundBuffer does the same.
// User-interface thread.
void CloseRecorder(SoundBuffer& sound);

// Status text of a state: "stopped", "wait for trigger", "recording...",
// "analysing...", and "error state!" for any other value.
const char* RecorderStateText(RecorderState state);

// Processes one captured block of `sampleCount` samples (0..8192; a short
// block counts only its own samples): measures its peak (largest positive
// sample, 0 when none), fires the trigger when the peak is above `threshold`
// while waiting for it, copies into the recording while recording (cut at
// targetLength), updates blockPeak and the overload hold, and posts exactly
// one message to sound.owner: WM_RECORDING_DONE for the block that
// completes the recording (after the state is Stopped and the last sample is
// copied), otherwise WM_RECORDER_LEVEL. Allocates nothing, takes no lock.
// Capture thread (tests may call it directly on one thread).
void OnInputBlock(SoundBuffer& sound, const std::int16_t* block, std::int32_t sampleCount);
