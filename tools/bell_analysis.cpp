#include "tools/bell_analysis.h"

#include <new>

#include "analysis/spectrum.h"
#include "cycle/analyse_recording.h"
#include "cycle/file_capture.h"

bool AnalyseBellFile(const ToolOptions& options, const AnalysisParameters& parameters, const AnalysisRequest& request,
                     const IdealTuning& ideal, const std::string& path, AnalysedBell& bell, std::string& error) {
    FileCapture capture;
    std::uint16_t code = kFileUnreadable;
    try {
        code = CaptureSoundFile(path, request.recordLength, options.waitForTrigger, options.autoTrigger,
                                options.triggerLevel, bell.recording, capture);
    } catch (const std::bad_alloc&) {
        capture.readError = "not enough memory";
    }
    if (code != kFileCaptured) {
        error = code == kFileUnreadable ? "cannot read: " + capture.readError : "the trigger never fired";
        return false;
    }
    bell.parameters = parameters;
    Recording analysed = bell.recording;
    AnalysisRequest analysedRequest = request;
    analysedRequest.waveFileName = path;
    Spectrum spectrum;
    if (!AnalyseRecording(analysed, parameters.speedAdjust, analysedRequest, spectrum, bell.table,
                          parameters.lowNominal, parameters.highNominal, ideal, bell.tuning)) {
        error = "no partials could be named";
        return false;
    }
    return true;
}
