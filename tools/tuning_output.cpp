#include "tools/tuning_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "tools/result_output.h"
#include "data/comma_lines.h"
#include "data/number_text.h"
#include "tuning/tuning_text.h"

namespace {


std::string Json(double value) {
    return std::isfinite(value) ? FormatShortest(value) : "null";
}

std::string Json(const std::optional<double>& value) {
    return value ? Json(*value) : "null";
}

std::string Pad(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}


std::string Optional(const std::optional<double>& value) {
    return value ? FormatShortest(*value) : "";
}

std::string JsonStrings(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (const std::string& text : texts) {
        if (out.size() > 1) out += ',';
        out += JsonString(text);
    }
    return out + "]";
}

}  // namespace

std::string FormatStrikeJson(const TuningReport& report) {
    return report.strike ? "{\"frequency\":" + Json(report.strike->frequencyHz) + ",\"note\":" +
                               JsonString(report.strike->note) + ",\"cents\":" + Json(report.strike->cents) +
                               ",\"from\":" + JsonStrings(report.strike->from) + "}"
                         : "null";
}

std::string FormatTunedPartialsJson(const TuningReport& report) {
    std::string out = "[";
    for (std::size_t i = 0; i < report.partials.size(); ++i) {
        const TunedPartial& p = report.partials[i];
        if (i > 0) out += ',';
        out += "{\"partial\":" + JsonString(p.name) + ",\"frequency\":" + Json(p.frequencyHz) +
               ",\"uncertainty\":" + Json(p.uncertaintyHz) + ",\"cents\":" + Json(p.cents) +
               ",\"ideal\":" + Json(p.idealCents) + ",\"deviation\":" + Json(p.deviationCents) +
               ",\"t60\":" + Json(p.t60Seconds) + ",\"level_db\":" + Json(p.levelDb) + ",\"doublet\":";
        out += p.doublet ? "{\"frequency\":" + Json(p.doublet->frequencyHz) +
                               ",\"relative_amplitude\":" + Json(p.doublet->relativeAmplitude) +
                               ",\"level_db\":" + Json(p.doublet->levelDb) + "}"
                         : "null";
        out += ",\"note\":" + JsonString(p.note) + "}";
    }
    return out + "]";
}

std::string FormatTuningJson(const TuningReport& report) {
    return "{\"ideal\":" + JsonString(report.idealName) + ",\"strike\":" + FormatStrikeJson(report) +
           ",\"partials\":" + FormatTunedPartialsJson(report) + "}";
}

std::string FormatTuningTable(const TuningReport& report) {
    std::string out = "Tuning against the " + report.idealName + " ideal\n";
    out += "Partial            Frequency (Hz)      Cents      Ideal  Deviation    T60 (s)  Doublet\n";
    for (const TunedPartial& p : report.partials) {
        const std::string doublet = p.doublet ? DoubletText(*p.doublet) : "-";
        std::string name = p.name;
        name.resize(std::max<std::size_t>(name.size(), 10), ' ');
        out += name + Pad(FrequencyWithUncertainty(p.frequencyHz, p.uncertaintyHz, "+-"), 24) + Pad(FixedText(p.cents, 2), 11) +
               Pad(p.idealCents ? FixedText(*p.idealCents, 2) : "-", 11) +
               Pad(p.deviationCents ? FixedText(*p.deviationCents, 2, true) : "-", 11) +
               Pad(p.t60Seconds ? FixedText(*p.t60Seconds, 1) : "-", 11) + "  " + doublet + "\n";
    }
    out += StrikeNoteText(report) + "\n";
    for (const TuningWarning& warning : report.warnings) out += WarningLine(warning) + "\n";
    return out + "\n";
}

std::string TuningCsvHeader() {
    return "file,partial,frequency,uncertainty,cents,ideal,deviation,t60,doublet_frequency,note,warnings\n";
}

std::string FormatWarningsJson(const std::vector<TuningWarning>& warnings) {
    std::string out = "[";
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        out += (i == 0 ? "{\"code\":" : ",{\"code\":") + JsonString(warnings[i].code) +
               ",\"text\":" + JsonString(warnings[i].text) + "}";
    }
    return out + "]";
}

std::string FormatTuningWarningsJson(const TuningReport& report) {
    return "\"clipped_samples\":" + std::to_string(report.clippedSamples) + ",\"warnings\":" +
           FormatWarningsJson(report.warnings);
}

std::string FormatTuningCsv(std::string_view fileName, const TuningReport& report) {
    std::string codes;
    for (const std::string& code : WarningCodes(report)) codes += (codes.empty() ? "" : ";") + code;
    std::string out;
    for (const TunedPartial& p : report.partials) {
        out += CsvField(fileName) + "," + CsvField(p.name) + "," + FormatShortest(p.frequencyHz) + "," +
               FormatShortest(p.uncertaintyHz) + "," + FormatShortest(p.cents) + "," + Optional(p.idealCents) + "," +
               Optional(p.deviationCents) + "," + Optional(p.t60Seconds) + "," +
               (p.doublet ? FormatShortest(p.doublet->frequencyHz) : "") + "," + CsvField(p.note) + "," +
               CsvField(codes) + "\n";
    }
    return out;
}
