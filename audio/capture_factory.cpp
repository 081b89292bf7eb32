#include <utility>

#include "audio/capture_source.h"

namespace {

CaptureSourceFactory& ChosenFactory() {
    static CaptureSourceFactory factory;
    return factory;
}

}  // namespace

void SetCaptureSourceFactory(CaptureSourceFactory factory) { ChosenFactory() = std::move(factory); }

CaptureSourceFactory CurrentCaptureSourceFactory() {
    const CaptureSourceFactory& chosen = ChosenFactory();
    if (chosen) return chosen;
    return &MakePortAudioCapture;
}
