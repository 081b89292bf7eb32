#pragma once
#include <string>
#include <string_view>

// Numbers as text, the same under every user locale. Files (.par,
// correct.txt) and every number on screen go through these.

// "%lf": fixed notation with six decimals, e.g. 523.250000.
std::string FormatFixed6(double value);

// "%.15g": at most 15 significant digits, the shorter of fixed and exponent
// notation (trailing zeros dropped), e.g. 0, 0.5, 1e-05, 123456789012345,
// 1.23456789012346e+15. The form of every double shown in an edit.
std::string FormatDouble15(double value);

// The shortest text that reads back as exactly `value` (std::to_chars),
// e.g. 0.1, 500, 1e-07; empty for a value that is not finite. The form of
// every number in the tool's JSON and csv.
std::string FormatShortest(double value);

// Scans one double the way "%lf" does: leading white space skipped, then
// the longest prefix that forms a number (sign, digits, point, exponent,
// hexadecimal form). On success stores it, advances `pos` past it and
// returns true. A text without a number there, or a value that is not
// finite ("nan", "inf", or one that overflows a double) is refused: false,
// and `pos` and `value` are left unchanged.
bool ScanDouble(std::string_view text, std::size_t& pos, double& value);

// ScanDouble from the start; true only when nothing but white space follows.
bool ParseWholeDouble(std::string_view text, double& value);
