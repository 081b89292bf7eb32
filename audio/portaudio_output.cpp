// The default output through PortAudio.
#include <portaudio.h>

#include "audio/output_sink.h"
#include "audio/player.h"
#include "audio/portaudio_system.h"

namespace {

class PortAudioOutput final : public OutputSink {
public:
    ~PortAudioOutput() override { Close(); }

    std::int16_t Open() override {
        if (!EnsurePortAudio()) return kPlayerStartFailed;
        const std::int16_t code = OpenDefaultOutput();
        if (code != kPlayerStarted) Close();
        return code;
    }

    std::int16_t Start() override {
        if (stream == nullptr || Pa_StartStream(stream) != paNoError) return kPlayerStartFailed;
        return kPlayerStarted;
    }

    bool Write(const std::int16_t* samples, std::int32_t count) override {
        // An underflow only means the device went silent for a moment before
        // this block; the block itself is whole.
        const PaError result = Pa_WriteStream(stream, samples, static_cast<unsigned long>(count));
        return result == paNoError || result == paOutputUnderflowed;
    }

    // Pa_StopStream returns once the buffered samples have sounded.
    void Drain() override { Pa_StopStream(stream); }

    // A blocking write returns within one block by itself, and a blocking
    // stream may not be stopped while another thread writes to it.
    void Interrupt() override {}

    void Close() override {
        if (stream == nullptr) return;
        Pa_AbortStream(stream);  // refuses harmlessly when stopped or never started
        Pa_CloseStream(stream);
        stream = nullptr;
    }

private:
    std::int16_t OpenDefaultOutput() {
        PaStreamParameters output{};
        output.device = Pa_GetDefaultOutputDevice();
        if (output.device == paNoDevice) return kPlayerNoOutput;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(output.device);
        if (info == nullptr) return kPlayerNoOutput;
        output.channelCount = 1;
        output.sampleFormat = paInt16;
        output.suggestedLatency = info->defaultHighOutputLatency;
        output.hostApiSpecificStreamInfo = nullptr;
        if (Pa_IsFormatSupported(nullptr, &output, kPlaybackRate) != paFormatIsSupported) return kPlayerNoOutput;
        // No clipping: the samples are 16-bit already and must reach the
        // device as they are.
        if (Pa_OpenStream(&stream, nullptr, &output, kPlaybackRate, kPlaybackBlockSamples, paClipOff, nullptr,
                          nullptr) != paNoError) {
            stream = nullptr;
            return kPlayerOpenFailed;
        }
        return kPlayerStarted;
    }

    PaStream* stream = nullptr;
};

}  // namespace

std::unique_ptr<OutputSink> MakePortAudioOutput() { return std::make_unique<PortAudioOutput>(); }
