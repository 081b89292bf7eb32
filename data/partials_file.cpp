#include "data/partials_file.h"

#include "data/number_text.h"
#include "data/safe_save.h"

#include <filesystem>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view NameOf(const PartialTable& table, std::int16_t index) {
    if (index < 0 || index >= static_cast<std::int16_t>(table.partialNames.size())) return {};
    return table.partialNames[static_cast<std::size_t>(index)];
}

void AppendRow(std::string& out, const PartialTable& table, std::size_t row) {
    for (double value : {table.frequency[row], table.splashAmplitude[row], table.tailAmplitude[row],
                         table.attack[row], table.decay[row], table.cents[row]}) {
        out += FormatFixed6(value);
        out += ',';
    }
    out += NameOf(table, table.partialIndex[row]);
    out += ',';
    out += table.note[row];
    out += kLineEnd;
}

}  // namespace

std::string FormatPartials(const PartialTable& table, std::string_view waveFileName) {
    std::string out;
    out += "Partials";
    out += kLineEnd;
    out += "wave file is ";
    out += waveFileName;
    out += ", nominal: ";
    out += FormatFixed6(table.nominal);
    out += kLineEnd;
    out += "Freq., Splash Amp., Tail Amp., Attack, Decay, Cents, Partial, Note";
    out += kLineEnd;
    const int rows = table.count < kPartialRows ? table.count : kPartialRows;
    for (int row = 0; row < rows; ++row) AppendRow(out, table, static_cast<std::size_t>(row));
    out += kLineEnd;
    return out;
}

bool WritePartials(std::FILE* file, const PartialTable& table, std::string_view waveFileName) {
    const std::string text = FormatPartials(table, waveFileName);
    return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool SavePartialsFile(const std::string& path, const PartialTable& table,
                      std::string_view waveFileName) {
    return SaveBytesSafely(path, FormatPartials(table, waveFileName));
}

std::string PartialsFileMessage(std::int16_t code) {
    switch (code) {
        case PartialsFileOpenFailed: return "Failed to open file!";
        case PartialsFileNotChosen: return "No file selected!";
        case PartialsFileNotPartials: return "Not a partials file!";
        case PartialsFileFormatError: return "File format error!";
        case PartialsFileNoNominal: return "No nominal in file!";
        default: return "";
    }
}

// A reader that follows the format strictly splits line 2 at ":" and ","
// and reads at most 78 characters.
std::string SoundFileName(const std::string& path, double nominal) {
    std::string name = std::filesystem::path(path).filename().string();
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == ':' || c == ',' || u < 0x20 || u == 0x7F) c = '_';
    }
    const std::size_t room = 78 - std::string_view("wave file is , nominal: ").size() - FormatFixed6(nominal).size();
    if (name.size() > room) {
        std::size_t cut = name.size() - room;
        // Never start in the middle of a UTF-8 sequence.
        while (cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) ++cut;
        name.erase(0, cut);
    }
    return name;
}
