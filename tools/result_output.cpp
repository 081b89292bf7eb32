#include "tools/result_output.h"

#include <charconv>
#include <cmath>

#include "tools/tuning_output.h"


namespace {

std::string Shortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string JsonNumber(double value) { return std::isfinite(value) ? Shortest(value) : "null"; }

std::string Fixed(double value, int decimals) {
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

std::string Significant(double value, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string PadRight(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

// Length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    unsigned code = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::string PartialName(const PartialTable& table, int row) {
    const std::int16_t index = table.partialIndex[static_cast<std::size_t>(row)];
    if (index < 0 || index >= static_cast<std::int16_t>(table.partialNames.size())) return "";
    return table.partialNames[static_cast<std::size_t>(index)];
}

int Rows(const PartialTable& table) {
    return table.count < 0 ? 0 : table.count > kPartialRows ? kPartialRows : table.count;
}

std::string JsonParameters(const AnalysisSettings& s) {
    const AnalysisParameters& p = s.parameters;
    return "{\"start_frequency\":" + JsonNumber(p.startFrequency) +
           ",\"end_frequency\":" + JsonNumber(p.endFrequency) +
           ",\"interval\":" + JsonNumber(p.interval) + ",\"speed_adjust\":" + JsonNumber(p.speedAdjust) +
           ",\"low_nominal\":" + JsonNumber(p.lowNominal) + ",\"high_nominal\":" + JsonNumber(p.highNominal) +
           ",\"steps\":" + std::to_string(s.request.steps) +
           ",\"record_length\":" + std::to_string(s.request.recordLength) +
           ",\"wait_for_trigger\":" + (s.waitForTrigger ? "true" : "false") +
           ",\"trigger_level\":" + (s.autoTrigger ? std::string("\"auto\"") : std::to_string(s.triggerLevel)) +
           ",\"trigger_threshold\":" + std::to_string(s.triggerThreshold) +
           ",\"recording_start_sample\":" + std::to_string(s.capture.startSample) +
           ",\"padded_samples\":" + std::to_string(s.capture.paddedSamples) + "}";
}

std::string JsonRow(const PartialTable& t, int row) {
    const auto r = static_cast<std::size_t>(row);
    return "{\"frequency\":" + JsonNumber(t.frequency[r]) + ",\"amplitude\":" + JsonNumber(t.tailAmplitude[r]) +
           ",\"splash_amplitude\":" + JsonNumber(t.splashAmplitude[r]) +
           ",\"attack\":" + JsonNumber(t.attack[r]) + ",\"decay\":" + JsonNumber(t.decay[r]) +
           ",\"cents\":" + JsonNumber(t.cents[r]) + ",\"partial\":" + JsonString(PartialName(t, row)) +
           ",\"note\":" + JsonString(t.note[r]) + "}";
}

}  // namespace

std::string JsonString(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = Utf8Length(text, i);
            out += length > 0 ? std::string(text.substr(i, length)) : "\xEF\xBF\xBD";
            i += length > 0 ? length : 1;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

std::string FormatResultTable(std::string_view fileName, const PartialTable& table) {
    std::string out = "File: " + std::string(fileName) + "\n";
    out += "Nominal: " + (table.nominal > 0.0 ? Fixed(table.nominal, 3) + " Hz" : std::string("none")) + "\n";
    out += "  Freq. (Hz)     Amplitude      Cents  Partial     Note\n";
    for (int row = 0; row < Rows(table); ++row) {
        const auto r = static_cast<std::size_t>(row);
        out += PadLeft(Fixed(table.frequency[r], 3), 12) + "  " +
               PadLeft(Significant(table.tailAmplitude[r], 6), 12) + "  " +
               PadLeft(Fixed(table.cents[r], 1), 9) + "  " + PadRight(PartialName(table, row), 10) +
               "  " + table.note[r] + "\n";
    }
    return out + "\n";  // a blank line between files
}

std::string FormatResultJson(std::string_view fileName, const AnalysisSettings& settings,
                             const PartialTable& table, const TuningReport* tuning) {
    std::string out = "{\"file\":" + JsonString(fileName) + ",\"parameters\":" + JsonParameters(settings) +
                      ",\"nominal\":" + JsonNumber(table.nominal) + ",\"rows\":[";
    for (int row = 0; row < Rows(table); ++row) {
        if (row > 0) out += ',';
        out += JsonRow(table, row);
    }
    out += ']';
    if (tuning != nullptr) {
        out += ',';
        out += FormatTuningWarningsJson(*tuning);
        out += ",\"tuning\":";
        out += FormatTuningJson(*tuning);
    }
    return out + "}\n";
}

std::string FormatSpectrumCsv(const Spectrum& spectrum) {
    std::string out = "frequency_hz,magnitude\n";
    const double* points = spectrum.Points();
    if (points == nullptr) return out;
    for (std::int32_t j = 0; j <= spectrum.steps; ++j) {
        out += Shortest(spectrum.startFrequency + j * spectrum.interval);
        out += ',';
        out += Shortest(points[j]);
        out += '\n';
    }
    return out;
}
