#include "project/sample_bytes.h"

std::string LittleEndianBytes(const std::int16_t* samples, std::size_t count) {
    std::string bytes(2 * count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        const auto bits = static_cast<std::uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<char>(bits & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(bits >> 8);
    }
    return bytes;
}

bool SamplesFromLittleEndian(std::string_view bytes, std::vector<std::int16_t>& samples) {
    if (bytes.size() % 2 != 0) return false;
    std::vector<std::int16_t> read(bytes.size() / 2);
    for (std::size_t i = 0; i < read.size(); ++i) {
        const auto low = static_cast<unsigned char>(bytes[2 * i]);
        const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
        // Modular since C++20: 0xFFFF becomes -1.
        read[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(low | (high << 8)));
    }
    samples = std::move(read);
    return true;
}
