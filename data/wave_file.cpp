#include "data/wave_file.h"

#include <bit>
#include <cstring>
#include <vector>

#include "data/safe_save.h"

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value & 0xFF);
    at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

}  // namespace

std::array<std::uint8_t, kWaveHeaderBytes> WaveHeader(std::int32_t sampleRate, std::int32_t sampleCount) {
    const std::uint32_t bytesPerSample = 2;
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sampleCount) * bytesPerSample;
    std::array<std::uint8_t, kWaveHeaderBytes> header{};
    std::uint8_t* h = header.data();
    std::memcpy(h + 0, "RIFF", 4);
    Put32(h + 4, dataBytes + 40);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    Put32(h + 16, 20);
    Put16(h + 20, 1);
    Put16(h + 22, 1);
    Put32(h + 24, rate);
    Put32(h + 28, rate * bytesPerSample);
    Put16(h + 32, bytesPerSample);
    Put16(h + 34, 16);
    Put16(h + 36, 0);
    Put16(h + 38, 0);
    std::memcpy(h + 40, "data", 4);
    Put32(h + 44, dataBytes);
    return header;
}

bool WriteWave(std::FILE* file, const Recording& recording) {
    const std::int32_t length = recording.Length();
    const auto header = WaveHeader(recording.sampleRate, length);
    if (std::fwrite(header.data(), 1, header.size(), file) != header.size()) return false;
    const auto count = static_cast<std::size_t>(length);
    if (count == 0) return true;
    if constexpr (std::endian::native == std::endian::little) {
        return std::fwrite(recording.Data(), 2, count, file) == count;
    } else {
        std::vector<std::uint8_t> bytes(2 * count);
        for (std::size_t i = 0; i < count; ++i) {
            Put16(&bytes[2 * i], static_cast<std::uint16_t>(recording.Data()[i]));
        }
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
}

bool SaveWaveFile(const std::string& path, const Recording& recording) {
    return SaveFileSafely(path, [&recording](std::FILE* file) { return WriteWave(file, recording); });
}
