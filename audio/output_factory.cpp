#include <utility>

#include "audio/output_sink.h"

namespace {

OutputSinkFactory& ChosenFactory() {
    static OutputSinkFactory factory;
    return factory;
}

}  // namespace

void SetOutputSinkFactory(OutputSinkFactory factory) { ChosenFactory() = std::move(factory); }

OutputSinkFactory CurrentOutputSinkFactory() {
    const OutputSinkFactory& chosen = ChosenFactory();
    if (chosen) return chosen;
    return &MakePortAudioOutput;
}
