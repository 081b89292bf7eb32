#include "cycle/analyse_recording.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

#include "analysis/spectrum_analyser.h"
#include "partials/partial_table.h"

bool PrepareAnalysis(Recording& recording, double speedAdjust, AnalysisRequest& request,
                     Spectrum& spectrum, PartialTable& table) {
    const double quotient = (request.endFrequency - request.startFrequency) / request.interval;
    // Checked before anything changes, and so that the truncations below
    // (steps here, the stretched length in Stretch) are always in range.
    if (!(quotient >= 1.0) || !(quotient < 2147483647.0)) {
        return false;
    }
    if (!(speedAdjust > 0.0) || !std::isfinite(speedAdjust) ||
        !(recording.Length() / speedAdjust < 2147483647.0)) {
        return false;
    }
    if (speedAdjust != 1.0) {
        recording = Stretched(recording, speedAdjust);
    }
    table.partialsValid = 0;
    request.steps = static_cast<std::int32_t>(quotient);
    spectrum = UnmeasuredSpectrum(request);
    return true;
}

bool RunTransformAndWait(SpectrumAnalyser& engine, const AnalysisRequest& request,
                         const Recording& recording, Spectrum& spectrum) {
    if (!engine.StartTransform(request, recording.Data(), recording.Length())) {
        return false;
    }
    // A short sleep keeps this thread off the core the worker needs.
    while (!engine.Done()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return CompleteTransform(engine, request, spectrum);
}

bool CompleteTransform(SpectrumAnalyser& engine, const AnalysisRequest& request, Spectrum& spectrum) {
    if (!engine.Finish(spectrum)) {
        return false;
    }
    FindMaximum(spectrum);
    Smooth(spectrum, request.sampleRate, request.lastSample - request.firstSample);
    return true;
}

bool NamePartials(const Spectrum& spectrum, PartialTable& table, double lowNominal,
                  double highNominal) {
    if (!table.DetectPeaks(spectrum)) {
        return false;
    }
    // The fallback nominal is only trusted when the user has narrowed the
    // search inside the analysed band.
    const bool allowFallback =
        lowNominal > spectrum.startFrequency || highNominal < spectrum.endFrequency;
    table.nominal = table.FindNominal(allowFallback, lowNominal, highNominal);
    table.UpdateCentsAndNotes();
    table.partialsValid = 1;
    return true;
}

bool AnalyseRecording(Recording& recording, double speedAdjust, AnalysisRequest& request,
                      Spectrum& spectrum, PartialTable& table, double lowNominal,
                      double highNominal) {
    if (!PrepareAnalysis(recording, speedAdjust, request, spectrum, table)) {
        return false;
    }
    SpectrumAnalyser engine;
    if (!RunTransformAndWait(engine, request, recording, spectrum)) {
        return false;
    }
    return NamePartials(spectrum, table, lowNominal, highNominal);
}

RecordingFacts DescribeRecording(const Recording& recording) {
    RecordingFacts facts;
    const std::int32_t count = recording.Length();
    facts.paddedSamples = std::clamp(recording.paddedSamples, 0, count);
    facts.clippedSamples = CountClippedSamples(recording.Data(), count - facts.paddedSamples);
    return facts;
}

RecordingFacts StretchedFacts(const RecordingFacts& facts, std::int32_t recordedSamples, std::int32_t count) {
    RecordingFacts analysed = facts;
    if (recordedSamples > 0 && recordedSamples != count) {
        // The stretch shortened or lengthened the padding with everything else.
        const double share = static_cast<double>(facts.paddedSamples) / recordedSamples;
        analysed.paddedSamples = static_cast<std::int32_t>(share * count);
    }
    analysed.paddedSamples = std::clamp(analysed.paddedSamples, 0, count);
    return analysed;
}

TuningReport ReportTuning(const Recording& recording, const AnalysisRequest& request,
                          const PartialTable& table, const IdealTuning& ideal,
                          const RecordingFacts& facts, std::int32_t recordedSamples) {
    const std::int32_t count = recording.Length();
    return MakeTuningReport(recording.Data(), count, request.sampleRate, request.interval, table, ideal,
                            StretchedFacts(facts, recordedSamples, count));
}

bool AnalyseRecording(Recording& recording, double speedAdjust, AnalysisRequest& request,
                      Spectrum& spectrum, PartialTable& table, double lowNominal,
                      double highNominal, const IdealTuning& ideal, TuningReport& report) {
    const RecordingFacts facts = DescribeRecording(recording);
    const std::int32_t recorded = recording.Length();
    if (!AnalyseRecording(recording, speedAdjust, request, spectrum, table, lowNominal, highNominal)) {
        return false;
    }
    report = ReportTuning(recording, request, table, ideal, facts, recorded);
    return true;
}
