#include "tools/analyse_tool.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <new>

#include "analysis/spectrum.h"
#include "cycle/analyse_recording.h"
#include "cycle/file_capture.h"
#include "cycle/sound_file_input.h"
#include "data/number_text.h"
#include "data/partials_file.h"
#include "data/safe_save.h"
#include "data/wave_file.h"
#include "data/recording.h"
#include "partials/partial_table.h"
#include "tools/calibration_run.h"
#include "tools/result_output.h"
#include "tools/ring_run.h"
#include "tools/spectrum_plot.h"
#include "tools/tool_options.h"
#include "tools/tuning_output.h"
#include "tuning/bell_synthesis.h"
#include "tuning/ideal_tuning.h"

#include "campanor_build_info.h"  // generated at build time

namespace {

constexpr const char* kProgram = "campanor-analyse";

// Messages on stderr. With several files and a terminal, a progress line is
// kept at the bottom; messages first clear it.
class Reporter {
public:
    explicit Reporter(bool showProgress) : progress_(showProgress) {}
    ~Reporter() { ClearProgress(); }

    void Progress(std::size_t index, std::size_t total, const std::string& file) {
        if (!progress_) return;
        std::fprintf(stderr, "\r\x1b[K[%zu/%zu] %s", index + 1, total, file.c_str());
        std::fflush(stderr);
        shown_ = true;
    }
    void Error(const std::string& file, const std::string& text) { Line(file + ": " + text); }
    void Warning(const std::string& file, const std::string& text) { Line(file + ": warning: " + text); }
    void Line(const std::string& text) {
        ClearProgress();
        std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
    }

private:
    void ClearProgress() {
        if (!shown_) return;
        std::fputs("\r\x1b[K", stderr);
        shown_ = false;
    }

    bool progress_;
    bool shown_ = false;
};

struct Job {
    const ToolOptions& options;
    AnalysisParameters parameters;  // corrected
    AnalysisRequest request;        // as accepted
    IdealTuning ideal;
    Reporter& report;
    bool* csvHeaderWritten;  // on standard output, once for all files
};

bool Deliver(const Job& job, const std::string& path, const std::string& bytes) {
    std::string target = job.options.outputFile;
    if (!job.options.outputFolder.empty()) {
        target = job.options.outputFolder + "/" + OutputNameFor(path, job.options.format);
    }
    const bool csv = job.options.format == OutputFormat::Csv;
    if (target.empty()) {
        const std::string text = csv && !*job.csvHeaderWritten ? TuningCsvHeader() + bytes : bytes;
        if (csv) *job.csvHeaderWritten = true;
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    }
    if (SaveBytesSafely(target, csv ? TuningCsvHeader() + bytes : bytes)) return true;
    job.report.Error(path, "cannot write " + target);
    return false;
}

std::string ResultText(const Job& job, const std::string& path, const AnalysisRequest& request,
                       const CaptureResult& capture, const PartialTable& table,
                       const TuningReport& tuning) {
    switch (job.options.format) {
        case OutputFormat::Par: return FormatPartials(table, SoundFileName(request.waveFileName, table.nominal));
        case OutputFormat::Table: {
            std::string text = FormatResultTable(path, table);
            return text.substr(0, text.size() - 1) + FormatTuningTable(tuning);
        }
        case OutputFormat::Csv: return FormatTuningCsv(path, tuning);
        case OutputFormat::Json: break;
    }
    AnalysisSettings settings{job.parameters, request, job.options.waitForTrigger,
                              job.options.triggerLevel, capture.threshold, job.options.autoTrigger, capture};
    return FormatResultJson(path, settings, table, &tuning);
}

// Records the file as the window would, saying on stderr why it could not
// and what it had to cut or pad.
bool Capture(const Job& job, const std::string& path, Recording& recording, CaptureResult& capture) {
    const ToolOptions& o = job.options;
    FileCapture file;
    const std::uint16_t code = CaptureSoundFile(path, job.request.recordLength, o.waitForTrigger, o.autoTrigger,
                                                o.triggerLevel, recording, file);
    capture = file.capture;
    if (code == kFileUnreadable) {
        job.report.Error(path, "cannot read: " + file.readError);
        return false;
    }
    if (file.cut) {
        job.report.Warning(path, "only the first " + std::to_string(kMaxInputFrames) + " samples at 44100 Hz are used");
    }
    if (code != kFileCaptured) {
        job.report.Error(path, "the trigger never fired: no block of 8192 samples rose above " +
                                   std::to_string(file.threshold) +
                                   (o.autoTrigger ? std::string(" (a quarter of the file's largest sample)")
                                                  : " (trigger level " + std::to_string(o.triggerLevel) + ")"));
        return false;
    }
    if (capture.paddedSamples > 0) {
        job.report.Warning(path, "the file ends " + std::to_string(capture.paddedSamples) +
                                     " samples before the recording of " +
                                     std::to_string(job.request.recordLength) +
                                     " samples is complete; padded with zeros");
    }
    return true;
}

// --synthesise: the bell of the report, as long as one recording, through
// the safe save.
bool SaveSynthesis(const Job& job, const std::string& path, const TuningReport& tuning) {
    const std::vector<std::int16_t> samples =
        SynthesiseBell(tuning, job.options.asTuned, job.request.recordLength, kRecordingRate);
    if (samples.empty()) {
        job.report.Error(path, "no partial has a level to synthesise");
        return false;
    }
    if (SaveWaveFile(job.options.synthesisFile, WithSamples({}, samples))) return true;
    job.report.Error(path, "cannot write " + job.options.synthesisFile);
    return false;
}

std::string NarrowBandText(const Spectrum& spectrum) {
    return "the band " + FormatDouble15(spectrum.startFrequency) + " ... " +
           FormatDouble15(spectrum.endFrequency) + " Hz at " + FormatDouble15(spectrum.interval) +
           " Hz is too narrow for peak detection" +
           (spectrum.Smoothed() ? " (too few spectrum points)" : " (smoothing refused)");
}

bool AnalyseFile(const Job& job, const std::string& path) {
    Recording recording;
    CaptureResult capture;
    if (!Capture(job, path, recording, capture)) return false;
    AnalysisRequest request = job.request;
    request.waveFileName = path;
    Spectrum spectrum;
    PartialTable table;
    TuningReport tuning;
    // A partials file holds no tuning report: it is measured only for the
    // other formats, and for a synthesis.
    const bool named = job.options.format == OutputFormat::Par && job.options.synthesisFile.empty()
                           ? AnalyseRecording(recording, job.parameters.speedAdjust, request, spectrum, table,
                                              job.parameters.lowNominal, job.parameters.highNominal)
                           : AnalyseRecording(recording, job.parameters.speedAdjust, request, spectrum, table,
                                              job.parameters.lowNominal, job.parameters.highNominal, job.ideal, tuning);
    if (!spectrum.Measured()) {
        job.report.Error(path, "the analysis did not complete");
        return false;
    }
    bool ok = true;
    if (!job.options.spectrumFile.empty() &&
        !SaveBytesSafely(job.options.spectrumFile, FormatSpectrumCsv(spectrum))) {
        job.report.Error(path, "cannot write " + job.options.spectrumFile);
        ok = false;
    }
    std::string plotError;
    if (!job.options.plotFile.empty() &&
        !SaveSpectrumPlotThroughModule(job.options.plotFile, spectrum, table, plotError)) {
        job.report.Error(path, plotError);
        ok = false;
    }
    if (!named) {
        job.report.Error(path, NarrowBandText(spectrum));
        return false;
    }
    if (!job.options.synthesisFile.empty() && !SaveSynthesis(job, path, tuning)) ok = false;
    return Deliver(job, path, ResultText(job, path, request, capture, table, tuning)) && ok;
}

// The standard library reports memory it cannot get by throwing; here that
// is one file's failure, said with its name, and the next file goes on.
bool AnalyseFileGuarded(const Job& job, const std::string& path) {
    try {
        return AnalyseFile(job, path);
    } catch (const std::bad_alloc&) {
        job.report.Error(path, "not enough memory to analyse this file");
        return false;
    }
}

// Options, usage and parameters; kExitOk to go on, otherwise the status.
int Prepare(const std::vector<std::string>& args, ToolOptions& options,
            AnalysisParameters& parameters, AnalysisRequest& request, IdealTuning& ideal) {
    std::string error;
    if (!ParseToolOptions(args, options, error)) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, error.c_str(), kProgram);
        return kExitUsage;
    }
    if (options.help || options.version) return kExitOk;
    if (!CheckToolUsage(options, error)) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", kProgram, error.c_str(), kProgram);
        return kExitUsage;
    }
    std::int16_t code = 0;
    int line = 0;
    if (!ChooseIdealTuning(options.ideal, ideal, code, line)) {
        const std::string where = line > 0 ? options.ideal + ":" + std::to_string(line) : options.ideal;
        std::fprintf(stderr, "%s: --ideal %s: %s\n", kProgram, where.c_str(), IdealFileErrorText(code).c_str());
        return kExitUsage;
    }
    parameters = options.parameters;
    for (const std::string& warning : OutOfRangeParameters(parameters)) {
        std::fprintf(stderr, "%s: warning: %s\n", kProgram, warning.c_str());
    }
    if (!AcceptParameters(parameters, request)) {
        std::fprintf(stderr,
                     "%s: Bad analysis parameters!\n(Accepted: 0 <= start < end <= 22000, "
                     "interval >= 0.05, 1 ... 100001 spectrum steps, speed 0.9 ... 1.1, "
                     "low nominal < high nominal after correction.)\n",
                     kProgram);
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace

int RunAnalyseTool(const std::vector<std::string>& args) {
    ToolOptions options;
    AnalysisParameters parameters;
    AnalysisRequest request;
    IdealTuning ideal;
    const int prepared = Prepare(args, options, parameters, request, ideal);
    if (prepared != kExitOk) return prepared;
    if (options.help) {
        std::fputs(ToolHelpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitFileFailed;
    }
    if (options.version) {
        const std::string commit = CAMPANOR_COMMIT;
        std::printf("%s %s%s\n", kProgram, CAMPANOR_VERSION, commit.empty() ? "" : (" (commit " + commit + ")").c_str());
        return std::fflush(stdout) == 0 ? kExitOk : kExitFileFailed;
    }
    if (options.calibrateHz > 0.0) {
        try {
            return RunCalibration(options);
        } catch (const std::bad_alloc&) {
            std::fprintf(stderr, "%s: not enough memory to read %s\n", kProgram, options.inputs.front().c_str());
            return kExitFileFailed;
        }
    }
    if (options.ring.ring) return RunRing(options, parameters, request, ideal);
    if (!options.ring.project.empty()) return RunProject(options, parameters, request, ideal);
    Reporter report(options.inputs.size() > 1 && isatty(STDERR_FILENO));
    bool csvHeaderWritten = false;
    const Job job{options, parameters, request, ideal, report, &csvHeaderWritten};
    int status = kExitOk;
    for (std::size_t i = 0; i < options.inputs.size(); ++i) {
        report.Progress(i, options.inputs.size(), options.inputs[i]);
        if (!AnalyseFileGuarded(job, options.inputs[i])) status = kExitFileFailed;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        report.Line("cannot write to standard output");
        status = kExitFileFailed;
    }
    return status;
}
