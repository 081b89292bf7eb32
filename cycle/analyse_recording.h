#pragma once
#include "analysis/analysis_request.h"
#include "data/recording.h"
#include "tuning/tuning_report.h"

class SpectrumAnalyser;
class PartialTable;
struct Spectrum;

// The analysis of one finished recording, shared by the main window and the
// command-line tool so that the two always agree. Plain C++, no Qt; every
// function runs on the caller's (user-interface) thread.
//
// One analysis, in this order:
//   PrepareAnalysis  -> stretch, partialsValid cleared, request.steps, the
//                       spectrum reset to the request's band
//   transform        -> RunTransformAndWait (no GUI), or the window's progress
//                       dialog: StartTransform, poll Done, CompleteTransform
//   NamePartials     -> only when the transform completed (not cancelled)
// AnalyseRecording does all three.
//
// The session (cycle/session.h) takes the recording from the recorder,
// runs these through the window's progress dialog or without one, and keeps
// the results in its bell.
//
// `request` is the one the main window holds, its stretch set by
// SetRecordingStretch (cycle/analysis_parameters.h): the spectrum takes the
// first 88200 samples whatever the interval, so at intervals below 0.5 Hz
// only those; the tuning report takes the whole recording.

// Readies recording, table and spectrum for a transform: replaces
// `recording` (the caller's copy; the samples it shared are untouched) by its
// stretch by `speedAdjust` unless that is exactly 1.0 (Stretched), clears the
// table's partialsValid, sets request.steps := trunc((endFrequency -
// startFrequency) / interval) and makes `spectrum` the request's band with
// nothing measured (UnmeasuredSpectrum), as it stays when the transform is
// cancelled. Returns false, changing nothing, when that quotient is not a
// finite number from 1 to below 2^31 - 1 (interval 0, a reversed band) or
// speedAdjust is not a positive finite factor the stretched length fits; the
// other preconditions of the transform (interval >= 0.05 Hz, endFrequency
// <= 22000 Hz, steps <= 100001, speedAdjust 0.9 ... 1.1) are the caller's
// validation.
bool PrepareAnalysis(Recording& recording, double speedAdjust, AnalysisRequest& request,
                     Spectrum& spectrum, PartialTable& table);

// For callers without a progress dialog: starts the transform of the
// recording's samples on the engine's worker thread, blocks until the worker
// is done, then CompleteTransform into `spectrum`. Returns what
// CompleteTransform returns; false at once, with nothing changed, when the
// engine refuses to start (a transform already running, a request no
// transform can serve).
bool RunTransformAndWait(SpectrumAnalyser& engine, const AnalysisRequest& request,
                         const Recording& recording, Spectrum& spectrum);

// Call once after Done has been seen: Finish (joins the worker, releases
// its buffer); then, unless a cancel was requested, the finished spectrum
// into `spectrum`, FindMaximum and Smooth(request.sampleRate,
// request.lastSample - request.firstSample). Returns true when the spectrum
// is complete, false, with `spectrum` untouched, when the transform was
// cancelled.
bool CompleteTransform(SpectrumAnalyser& engine, const AnalysisRequest& request, Spectrum& spectrum);

// After a completed transform: DetectPeaks on `spectrum`. When it ran:
// nominal := FindNominal(allowFallback, lowNominal, highNominal), where
// allowFallback holds when the limits (Hz) lie inside the spectrum's band
// (lowNominal > startFrequency or highNominal < endFrequency);
// UpdateCentsAndNotes; partialsValid := 1; returns true. Returns false when
// DetectPeaks refused (smoothing refused or too few spectrum points): the
// table keeps its rows and partialsValid stays clear.
bool NamePartials(const Spectrum& spectrum, PartialTable& table, double lowNominal,
                  double highNominal);

// PrepareAnalysis, RunTransformAndWait (on an engine of its own) and, when
// the transform completed, NamePartials. Returns true when partials were
// named; false when the request was refused, the transform did not
// complete, or the peak detection refused (spectrum.Measured() then tells
// whether a spectrum exists).
bool AnalyseRecording(Recording& recording, double speedAdjust, AnalysisRequest& request,
                      Spectrum& spectrum, PartialTable& table, double lowNominal,
                      double highNominal);

// What the tuning report must know of a recording as captured that its
// samples alone cannot say: its clipped samples and the zeros padded at its
// end (from the file capture; none for a live recording). Call on the
// recording before PrepareAnalysis stretches it.
RecordingFacts DescribeRecording(const Recording& recording);

// The same, and when partials were named the tuning report of the analysed
// samples against `ideal` into `report` (left untouched otherwise).
bool AnalyseRecording(Recording& recording, double speedAdjust, AnalysisRequest& request,
                      Spectrum& spectrum, PartialTable& table, double lowNominal,
                      double highNominal, const IdealTuning& ideal, TuningReport& report);

// `facts` of a recording of `recordedSamples` (0 when unknown) once the
// speed adjustment made it `count` samples long: the padding scaled with
// it, within 0 ... count. What the tuning report of the stretched
// recording is told, and so what anything measuring it as the report did
// must leave out.
RecordingFacts StretchedFacts(const RecordingFacts& facts, std::int32_t recordedSamples, std::int32_t count);

// After NamePartials named partials: the tuning report of the whole
// analysed recording (the stretched one, all its samples but the padding
// `facts` names, scaled by the stretch) and the table's named rows, the
// precise frequencies sought within one interval of the table's. The
// spectrum uses only request.firstSample ... request.lastSample; the report
// uses every sample, so a longer recording separates closer doublets.
// `recordedSamples` is the recording's length before the stretch (for the
// padding's share), 0 when unknown.
TuningReport ReportTuning(const Recording& recording, const AnalysisRequest& request,
                          const PartialTable& table, const IdealTuning& ideal,
                          const RecordingFacts& facts = {}, std::int32_t recordedSamples = 0);
