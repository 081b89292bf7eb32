#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// 16-bit samples as the bytes a project file keeps them in: two per sample,
// low byte first, whatever the byte order of the machine. Any thread.

// The `count` samples at `samples` as little-endian bytes (2 x count).
std::string LittleEndianBytes(const std::int16_t* samples, std::size_t count);

// The samples of little-endian `bytes`. False for an odd number of bytes,
// leaving `samples` unchanged.
bool SamplesFromLittleEndian(std::string_view bytes, std::vector<std::int16_t>& samples);
