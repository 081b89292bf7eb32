#include "cycle/capture_emulation.h"

#include <algorithm>

#include "audio/recorder.h"

CaptureResult EmulateCapture(const std::vector<std::int16_t>& input, std::int32_t recordLength,
                             bool waitForTrigger, int triggerLevel, SoundBuffer& sound, int threshold) {
    CaptureResult result;
    sound.owner = nullptr;  // nobody to post to: the loop below watches the state
    sound.ArmRecording(recordLength, waitForTrigger, triggerLevel);
    if (threshold >= 0) sound.threshold.store(static_cast<std::int16_t>(std::min(threshold, 32767)));
    result.threshold = sound.threshold.load();
    const auto inputSize = static_cast<std::int64_t>(input.size());
    std::vector<std::int16_t> block(kCaptureBlockSamples);
    for (std::int64_t first = 0;; first += kCaptureBlockSamples) {
        const RecorderState before = sound.state.load();
        if (before == RecorderState::Stopped) break;
        if (before == RecorderState::WaitForTrigger && first >= inputSize) {
            sound.StopRecording();
            return result;
        }
        std::fill(block.begin(), block.end(), std::int16_t{0});
        if (first < inputSize) {
            const std::int64_t count = std::min<std::int64_t>(kCaptureBlockSamples, inputSize - first);
            std::copy_n(input.begin() + first, count, block.begin());
        }
        OnInputBlock(sound, block.data(), kCaptureBlockSamples);
        if (before == RecorderState::WaitForTrigger && sound.state.load() != before) {
            result.startSample = static_cast<std::int32_t>(first);
        }
    }
    sound.FinishRecording();
    result.recorded = true;
    const std::int64_t missing = result.startSample + std::int64_t{recordLength} - inputSize;
    result.paddedSamples = static_cast<std::int32_t>(std::max<std::int64_t>(missing, 0));
    return result;
}
