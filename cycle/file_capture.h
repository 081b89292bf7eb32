#pragma once
#include <cstdint>
#include <string>

#include "cycle/capture_emulation.h"
#include "data/recording.h"

// Recording a bell from a sound file instead of the sound card, the same way
// for the main window and the command-line tool: the file is read
// (SoundFileReader) and played through the recorder's block logic
// (EmulateCapture) with its trigger. The caller names the recording by the
// path alone (request.waveFileName = path).

// Codes of CaptureSoundFile; FileCaptureText gives their texts.
inline constexpr std::uint16_t kFileCaptured = 0;
inline constexpr std::uint16_t kFileUnreadable = 1;        // "Cannot read the sound file!"
inline constexpr std::uint16_t kFileTriggerNeverFired = 2;  // "The trigger never fired!"

// How a file was recorded, also when it was not.
struct FileCapture {
    CaptureResult capture;  // start sample and zeros padded (capture.paddedSamples) when recorded
    int threshold = 0;      // the sample value a block had to exceed
    bool cut = false;       // only the first kMaxInputFrames samples at 44100 Hz were used
    std::string readError;  // libsndfile's or libsamplerate's message with kFileUnreadable
};

// Records `recordLength` samples (> 0; trunc(44100 / interval)) of the file
// at `path` into `recording` as the recorder would from a live input, converted
// to mono 16-bit 44100 Hz. With `waitForTrigger` the recording begins with
// the first block of 8192 samples whose largest sample exceeds the
// threshold: a quarter of the file's largest sample with `autoTrigger`,
// otherwise triggerLevel x 327 (triggerLevel 0 ... 100); without it, at the
// file's first sample. Only as much of the file is converted as the trigger
// and the recording need: recordLength + 4 blocks, then twice as much again
// while the trigger has not fired or the recording is short, never more than
// kMaxInputFrames samples (then `cut`). A file that ends before the
// recording is complete is padded with zeros (capture.paddedSamples).
// A trigger more than a quarter above the file's largest sample is known
// never to fire and the file is not converted at all.
// Returns kFileCaptured with the recording made (its sourceFile `path`), or
// kFileUnreadable (the file cannot be opened, read or converted: readError
// says why) or kFileTriggerNeverFired (nothing recorded, `recording` as it
// was); `result`
// is filled as far as the capture went. Memory the standard library cannot
// get is reported as std::bad_alloc. The caller's thread; no Qt.
std::uint16_t CaptureSoundFile(const std::string& path, std::int32_t recordLength, bool waitForTrigger,
                               bool autoTrigger, int triggerLevel, Recording& recording, FileCapture& result);

// The message of a CaptureSoundFile code; "Sound file error!" for any other.
const char* FileCaptureText(std::uint16_t code);
