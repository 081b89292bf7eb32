#include "data/sound_buffer.h"

#include <thread>

SoundBuffer::~SoundBuffer() {
    // Close the device before the sample array goes, whatever the member
    // order: the capture thread may be writing into it.
    device.reset();
}

void SoundBuffer::AllocateSamples(std::int32_t count) {
    samples.reset();
    samples.reset(new std::int16_t[count > 0 ? count : 0]);
}

void SoundBuffer::SetFormat(std::int32_t sampleRate, std::int32_t length, std::int32_t bitsPerSample) {
    AllocateSamples(length);
    format.nBlockAlign = static_cast<std::uint16_t>(bitsPerSample / 8);
    format.wFormatTag = 1;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<std::uint32_t>(sampleRate);
    format.nAvgBytesPerSec = static_cast<std::uint32_t>(sampleRate) * format.nBlockAlign;
    format.wBitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    sampleCount = length;
}

void SoundBuffer::ArmRecording(std::int32_t length, bool waitForTrigger, int triggerLevel) {
    // The state is Stopped or Analysing here, but a block that read
    // Recording just before a Stop may still be copying into the old array:
    // let it finish (a few microseconds) before the array is replaced.
    while (copying.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    targetLength.store(length, std::memory_order_relaxed);
    SetFormat(44100, length, 16);
    destination.store(samples.get(), std::memory_order_relaxed);
    recordedCount.store(0, std::memory_order_relaxed);
    soundState = SoundState::None;
    // `state` goes last, with release: a capture thread that sees the new
    // state also sees the new array, length, count and threshold.
    if (waitForTrigger) {
        threshold.store(static_cast<std::int16_t>(triggerLevel * 327), std::memory_order_relaxed);
        state.store(RecorderState::WaitForTrigger, std::memory_order_release);
    } else {
        state.store(RecorderState::Recording, std::memory_order_release);
    }
}

void SoundBuffer::TakeSound(SoundBuffer& recorded) {
    // See ArmRecording: the old array may still be written for a moment.
    while (copying.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    format = recorded.format;
    samples = std::move(recorded.samples);
    sampleCount = recorded.sampleCount;
    recorded.sampleCount = 0;
    soundState = SoundState::Recorded;
}

void SoundBuffer::StopRecording() {
    if (state.load(std::memory_order_acquire) == RecorderState::Recording) {
        soundState = SoundState::None;
    }
    // Sequentially consistent, paired with `copying`: see ArmRecording.
    state.store(RecorderState::Stopped, std::memory_order_seq_cst);
}

void SoundBuffer::FinishRecording() {
    state.store(RecorderState::Stopped, std::memory_order_release);
    soundState = SoundState::Recorded;
}

void SoundBuffer::Stretch(double factor) {
    const std::int32_t oldCount = sampleCount;
    const auto newCount = static_cast<std::int32_t>(static_cast<double>(oldCount) / factor);
    const std::int16_t* in = samples.get();
    std::unique_ptr<std::int16_t[]> out(new std::int16_t[newCount > 0 ? newCount : 0]);
    for (std::int32_t i = 0; i < newCount; ++i) {
        const double position = i * factor;
        auto index = static_cast<std::int32_t>(position);
        if (index > oldCount - 1) index = oldCount - 1;  // rounding guard only
        const double fraction = position - index;
        // Past the end (only for factors below 1, on the last outputs) the
        // sample itself stands in for its missing right neighbour.
        const std::int32_t next = index + 1 < oldCount ? index + 1 : index;
        const double value = in[index] * (1.0 - fraction) + fraction * in[next];
        out[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(value));
    }
    samples = std::move(out);
    sampleCount = newCount;
}
