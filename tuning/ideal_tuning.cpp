#include "tuning/ideal_tuning.h"

#include <cmath>

#include "data/comma_lines.h"
#include "data/number_text.h"
#include "partials/partial.h"

namespace {


double Cents(double ratio) {
    return 1200.0 * std::log2(ratio);
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
    CommaLine entry;
    while (NextCommaLine(text, line, entry)) {
        if (!entry.hasComma) {
            code = kIdealLineNoComma;
            return false;
        }
        const int partial = PartialByName(entry.left);
        double cents = 0.0;
        code = partial < 0                                  ? kIdealUnknownPartial
               : !ParseWholeDouble(entry.right, cents)      ? kIdealBadCents
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
    std::string text;
    if (!ReadSmallTextFile(path, text)) {
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
