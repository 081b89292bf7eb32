#pragma once
#include <string>

#include "tools/tool_options.h"
#include "tuning/reference_tone.h"

// campanor-analyse --calibrate HZ FILE: the reference tone in FILE measured
// and the speed adjustment that corrects the sound card.

// Seconds of the file measured at most.
inline constexpr int kCalibrationSeconds = 30;

// The result as text: "FILE: reference HZ Hz, measured F +- U Hz, speed
// adjust S" (S with nine decimals, as correct.txt holds it), or with
// OutputFormat::Json {"calibration":{"reference":HZ,"measured":F,
// "uncertainty":U,"speed_adjust":S}} (compact, as the tool's other JSON);
// one line.
std::string FormatCalibration(const std::string& file, const ToneMeasurement& tone, OutputFormat format);

// Reads the one input, measures it and writes the result (to -o or standard
// output); messages on standard error. Returns the exit status: 0 measured
// and written, 1 the file unreadable, no tone found, the adjustment out of
// range or the result unwritable.
int RunCalibration(const ToolOptions& options);
