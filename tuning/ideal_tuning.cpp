#include "tuning/ideal_tuning.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/number_text.h"
#include "partials/partial.h"

namespace {


double Cents(double ratio) {
    return 1200.0 * std::log2(ratio);
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

int PartialByName(std::string_view name) {
    for (int i = 0; i < kNamedPartials; ++i) {
        if (name == kPartialNames[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

}  // namespace

IdealTuning JustTuning() {
    return {"just",
            {-2400.0, -1200.0, Cents(0.6), 0.0, Cents(1.5), 1200.0, Cents(0.75)}};
}

IdealTuning TemperedTuning() {
    return {"tempered", {-2400.0, -1200.0, -900.0, 0.0, 700.0, 1200.0, -500.0}};
}

std::string IdealFileErrorText(std::int16_t code) {
    switch (code) {
        case kIdealFileUnreadable: return "cannot read the file";
        case kIdealLineNoComma: return "expected name,cents";
        case kIdealUnknownPartial: return "unknown partial (hum, prime, tierce, quint, nominal, superquint, oct. nom.)";
        case kIdealBadCents: return "the cents are not a number";
        case kIdealDuplicate: return "partial given twice";
        case kIdealEmpty: return "no partial given";
        default: return "unknown error";
    }
}

bool ParseIdealTuning(std::string_view text, std::string_view name, IdealTuning& ideal,
                      std::int16_t& code, int& line) {
    IdealTuning parsed{std::string(name), {}};
    bool any = false;
    line = 0;
    while (!text.empty()) {
        ++line;
        const std::size_t end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        content = Trim(content.substr(0, content.find('#')));
        if (content.empty()) continue;
        const std::size_t comma = content.find(',');
        if (comma == std::string_view::npos) {
            code = kIdealLineNoComma;
            return false;
        }
        const int partial = PartialByName(Trim(content.substr(0, comma)));
        double cents = 0.0;
        code = partial < 0                                           ? kIdealUnknownPartial
               : !ParseWholeDouble(content.substr(comma + 1), cents) ? kIdealBadCents
               : parsed.centsByPartial[static_cast<std::size_t>(partial)] ? kIdealDuplicate
                                                                      : 0;
        if (code != 0) return false;
        parsed.centsByPartial[static_cast<std::size_t>(partial)] = cents;
        any = true;
    }
    if (!any) {
        code = kIdealEmpty;
        line = 0;
        return false;
    }
    ideal = std::move(parsed);
    return true;
}

bool ReadIdealTuning(const std::string& path, IdealTuning& ideal, std::int16_t& code, int& line) {
    std::error_code ignored;
    // A device or a FIFO could be read for ever: only regular files.
    const bool regular = std::filesystem::is_regular_file(path, ignored);
    std::ifstream file;
    if (regular) file.open(path, std::ios::binary);
    std::string text;
    // An ideal is a handful of lines: more than 64 KiB is no ideal file.
    constexpr std::size_t kMaxBytes = 65536;
    if (file) {
        text.resize(kMaxBytes + 1);
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(file.gcount()));
    }
    if (!file.is_open() || file.bad() || text.size() > kMaxBytes) {
        code = kIdealFileUnreadable;
        line = 0;
        return false;
    }
    return ParseIdealTuning(text, path, ideal, code, line);
}

bool ChooseIdealTuning(const std::string& choice, IdealTuning& ideal, std::int16_t& code, int& line) {
    if (choice == "just") {
        ideal = JustTuning();
        return true;
    }
    if (choice == "tempered") {
        ideal = TemperedTuning();
        return true;
    }
    return ReadIdealTuning(choice, ideal, code, line);
}
