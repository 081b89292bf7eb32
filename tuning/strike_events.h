#pragma once
#include <cstdint>

// Where in a recording the bell is struck. Plain C++, any thread.

// The first sample of the first block of 128 whose largest magnitude
// reaches a quarter of the recording's, kept so that at least 1024 samples
// remain.
std::int32_t StrikeOnset(const std::int16_t* samples, std::int32_t count);

// Where the bell is struck again: a stretch of 1024 samples with at least
// 1.8 times the energy of each of the seven before the one before it, and
// at least a quarter of the loudest stretch's (a bell's own ringing, beats
// included, never rises that fast). Returns the first sample of the stretch
// before that one, at or before which the new strike begins; -1 when there
// is none.
std::int32_t SecondStrike(const std::int16_t* samples, std::int32_t count);
