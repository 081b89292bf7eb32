#include "cycle/file_capture.h"

#include <utility>
#include <vector>

#include "audio/recorder.h"
#include "cycle/sound_file_input.h"

std::uint16_t CaptureSoundFile(const std::string& path, std::int32_t recordLength, bool waitForTrigger,
                               bool autoTrigger, int triggerLevel, Recording& recording, FileCapture& result) {
    result = FileCapture{};
    SoundFileReader reader;
    if (!reader.Open(path, result.readError)) return kFileUnreadable;
    const int largest = reader.LargestSample();
    result.threshold = autoTrigger ? largest / 4 : triggerLevel * 327;
    // Converting cannot lift a file a quarter above its own largest sample, so
    // a trigger well above it never fires: no need to convert the file to see.
    const bool hopeless = waitForTrigger && 5 * largest < 4 * result.threshold;
    std::vector<std::int16_t> input;
    Recording captured;
    // Replaying from the start after each doubling costs little beside the
    // conversion, which is done once per sample.
    for (std::int64_t wanted = recordLength + 4 * std::int64_t{kCaptureBlockSamples}; !hopeless; wanted *= 2) {
        if (!reader.ReadUpTo(input, wanted, result.readError)) return kFileUnreadable;
        result.capture = EmulateCapture(input, recordLength, waitForTrigger, triggerLevel, captured, result.threshold);
        if ((result.capture.recorded && result.capture.paddedSamples == 0) || reader.Finished() || reader.Cut(input)) {
            break;
        }
    }
    result.cut = reader.Cut(input);
    if (!result.capture.recorded) return kFileTriggerNeverFired;
    captured.sourceFile = path;
    recording = std::move(captured);
    return kFileCaptured;
}

const char* FileCaptureText(std::uint16_t code) {
    switch (code) {
        case kFileCaptured: return "Sound file recorded";
        case kFileUnreadable: return "Cannot read the sound file!";
        case kFileTriggerNeverFired: return "The trigger never fired!";
        default: return "Sound file error!";
    }
}
