// The default input through PortAudio.
#include <portaudio.h>

#include "audio/capture_source.h"
#include "audio/portaudio_system.h"
#include "audio/recorder.h"

namespace {

class PortAudioCapture final : public CaptureSource {
public:
    ~PortAudioCapture() override { Close(); }

    std::int16_t Open() override {
        if (!EnsurePortAudio()) return kRecorderStartFailed;
        const std::int16_t code = OpenDefaultInput();
        if (code != kRecorderOpened) Close();
        return code;
    }

    std::int16_t Start() override {
        if (stream == nullptr || Pa_StartStream(stream) != paNoError) return kRecorderStartFailed;
        return kRecorderOpened;
    }

    std::int32_t Read(std::int16_t* block, std::int32_t capacity) override {
        // An overflow only means samples were lost before this block; the
        // block itself is whole.
        const PaError result = Pa_ReadStream(stream, block, static_cast<unsigned long>(capacity));
        if (result != paNoError && result != paInputOverflowed) return -1;
        return capacity;
    }

    // A blocking read returns within one block by itself, and a blocking
    // stream may not be stopped while another thread reads it.
    void Interrupt() override {}

    void Close() override {
        if (stream != nullptr) {
            Pa_AbortStream(stream);  // refuses harmlessly when not started
            Pa_CloseStream(stream);
            stream = nullptr;
        }
    }

private:
    std::int16_t OpenDefaultInput() {
        PaStreamParameters input{};
        input.device = Pa_GetDefaultInputDevice();
        if (input.device == paNoDevice) return kRecorderFormatRefused;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(input.device);
        if (info == nullptr) return kRecorderFormatRefused;
        input.channelCount = 1;
        input.sampleFormat = paInt16;
        input.suggestedLatency = info->defaultHighInputLatency;
        input.hostApiSpecificStreamInfo = nullptr;
        if (Pa_IsFormatSupported(&input, nullptr, 44100.0) != paFormatIsSupported) {
            return kRecorderFormatRefused;
        }
        if (Pa_OpenStream(&stream, &input, nullptr, 44100.0, kCaptureBlockSamples, paNoFlag, nullptr,
                          nullptr) != paNoError) {
            stream = nullptr;
            return kRecorderOpenFailed;
        }
        return kRecorderOpened;
    }

    PaStream* stream = nullptr;
};

}  // namespace

std::unique_ptr<CaptureSource> MakePortAudioCapture() { return std::make_unique<PortAudioCapture>(); }
