#pragma once

// The calibration file: one number on its first line, the start-up value
// of the speed adjustment. The program looks for it as "correct.txt" in the
// current directory, and writes it only when the user asks to keep a
// speed adjustment measured from a reference tone.
inline constexpr const char* kCalibrationFileName = "correct.txt";

// Lowest and highest speed adjustment the file may give; both allowed.
inline constexpr double kMinSpeedAdjust = 0.9;
inline constexpr double kMaxSpeedAdjust = 1.1;

// Characters of the first line that are looked at; the rest is ignored.
inline constexpr int kCalibrationLineChars = 38;

// Reads the speed adjustment from the file at `path`: the first line, at
// most 38 characters of it, scanned like "%lf" (leading white space
// skipped, anything after the number ignored, the same in every locale).
// Returns that number when it lies in 0.9 ... 1.1, and 1.0 in every other
// case (no file, empty file, no number, out of range, not finite); nothing
// is reported. Any thread; the program calls it on the user-interface
// thread at start-up.
double ReadCalibration(const char* path = kCalibrationFileName);

// Writes `speedAdjust` (0.9 ... 1.1) to the file at `path` as the one line
// ReadCalibration reads: nine decimals and a line end, e.g. "1.000454752\n",
// through the safe save (an earlier file is replaced only once the new one
// is complete). False, with nothing changed, for a value outside the range
// or a file that cannot be written.
bool WriteCalibration(double speedAdjust, const char* path = kCalibrationFileName);
