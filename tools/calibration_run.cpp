#include "tools/calibration_run.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "cycle/sound_file_input.h"
#include "data/number_text.h"
#include "data/safe_save.h"
#include "tools/analyse_tool.h"
#include "tools/result_output.h"

namespace {

std::string Fixed(double value, int decimals) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}


void Say(const std::string& text) { std::fprintf(stderr, "campanor-analyse: %s\n", text.c_str()); }

}  // namespace

std::string FormatCalibration(const std::string& file, const ToneMeasurement& tone, OutputFormat format) {
    if (format == OutputFormat::Json) {
        return "{\"calibration\":{\"reference\":" + FormatShortest(tone.referenceHz) + ",\"measured\":" +
               FormatShortest(tone.measuredHz) + ",\"uncertainty\":" + FormatShortest(tone.uncertaintyHz) +
               ",\"speed_adjust\":" + FormatShortest(tone.speedAdjust) + "}}\n";
    }
    return file + ": reference " + FormatDouble15(tone.referenceHz) + " Hz, measured " + Fixed(tone.measuredHz, 6) +
           " +- " + Fixed(tone.uncertaintyHz, 6) + " Hz, speed adjust " + Fixed(tone.speedAdjust, 9) + "\n";
}

int RunCalibration(const ToolOptions& options) {
    const std::string& path = options.inputs.front();
    std::vector<std::int16_t> samples;
    std::string error, warning;
    if (!LoadSoundFile(path, samples, error, warning)) {
        Say(path + ": cannot read: " + error);
        return kExitFileFailed;
    }
    if (samples.size() > static_cast<std::size_t>(kCalibrationSeconds) * 44100) {
        samples.resize(static_cast<std::size_t>(kCalibrationSeconds) * 44100);
    }
    ToneMeasurement tone;
    const std::uint16_t code = MeasureReferenceTone(samples.data(), static_cast<std::int32_t>(samples.size()), 44100.0,
                                                    options.calibrateHz, tone);
    if (code != kToneMeasured) {
        Say(path + ": " + ToneMeasurementText(code));
        return kExitFileFailed;
    }
    const std::string text = FormatCalibration(path, tone, options.format);
    if (options.outputFile.empty()) {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? kExitOk : kExitFileFailed;
    }
    if (SaveBytesSafely(options.outputFile, text)) return kExitOk;
    Say(path + ": cannot write " + options.outputFile);
    return kExitFileFailed;
}
