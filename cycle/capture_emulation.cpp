#include "cycle/capture_emulation.h"

#include <algorithm>

#include "audio/recorder.h"

CaptureResult EmulateCapture(const std::vector<std::int16_t>& input, std::int32_t recordLength,
                             bool waitForTrigger, int triggerLevel, Recording& recording, int threshold) {
    CaptureResult result;
    Recorder recorder;  // nobody to post to: the loop below watches the state
    if (!waitForTrigger) {
        recorder.Arm(recordLength, false, 0);
    } else if (threshold >= 0) {
        recorder.ArmAtThreshold(recordLength, static_cast<std::int16_t>(std::min(threshold, 32767)));
    } else {
        recorder.Arm(recordLength, true, triggerLevel);
    }
    // Reported also without the trigger, as the threshold it would have had.
    result.threshold = threshold >= 0 ? std::min(threshold, 32767) : recorder.Threshold();
    const auto inputSize = static_cast<std::int64_t>(input.size());
    std::vector<std::int16_t> block(kCaptureBlockSamples);
    for (std::int64_t first = 0;; first += kCaptureBlockSamples) {
        const RecorderState before = recorder.State();
        if (before == RecorderState::Stopped) break;
        if (before == RecorderState::WaitForTrigger && first >= inputSize) return result;
        std::fill(block.begin(), block.end(), std::int16_t{0});
        if (first < inputSize) {
            const std::int64_t count = std::min<std::int64_t>(kCaptureBlockSamples, inputSize - first);
            std::copy_n(input.begin() + first, count, block.begin());
        }
        recorder.OnInputBlock(block.data(), kCaptureBlockSamples);
        if (before == RecorderState::WaitForTrigger && recorder.State() != before) {
            result.startSample = static_cast<std::int32_t>(first);
        }
    }
    Recording captured;
    recorder.TakeRecording(captured);
    result.recorded = true;
    const std::int64_t missing = result.startSample + std::int64_t{recordLength} - inputSize;
    result.paddedSamples = static_cast<std::int32_t>(std::max<std::int64_t>(missing, 0));
    captured.recordedAt = {};
    captured.triggerSample = result.startSample;
    captured.paddedSamples = result.paddedSamples;
    recording = std::move(captured);
    return result;
}
