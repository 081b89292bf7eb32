#include "ring/scale_targets.h"

#include <array>

#include "data/comma_lines.h"
#include "data/number_text.h"

namespace {

constexpr std::array<double, 7> kMajorEqual = {0, 200, 400, 500, 700, 900, 1100};
constexpr std::array<double, 7> kMajorJust = {0, 203.91, 386.31, 498.04, 701.96, 884.36, 1088.27};
constexpr std::array<double, 7> kMajorMeantone = {0, 193.16, 386.31, 503.42, 696.58, 889.74, 1082.89};
constexpr std::array<double, 12> kChromaticJust = {0,      111.73, 203.91, 315.64, 386.31,  498.04,
                                                   590.22, 701.96, 813.69, 884.36, 1017.60, 1088.27};
constexpr std::array<double, 12> kChromaticMeantone = {0,      76.05,  193.16, 310.26, 386.31,  503.42,
                                                       579.47, 696.58, 772.63, 889.74, 1006.84, 1082.89};

constexpr int kMaxBells = 64;
// The bell of a founder's line, 1 ... 64, or 0 when the text is none.
int BellNumber(std::string_view text) {
    double value = 0.0;
    if (!ParseWholeDouble(text, value) || value < 1.0 || value > kMaxBells) return 0;
    const int bell = static_cast<int>(value);
    return bell == value ? bell : 0;
}

}  // namespace

std::optional<double> ScaleCents(RingScale scale, Temperament temperament, int degree) {
    if (degree < 0 || temperament == Temperament::Founder) return std::nullopt;
    const bool major = scale == RingScale::Major;
    const int steps = major ? 7 : 12;
    const auto step = static_cast<std::size_t>(degree % steps);
    const double octaves = 1200.0 * (degree / steps);
    if (temperament == Temperament::Equal) return octaves + (major ? kMajorEqual[step] : 100.0 * step);
    if (temperament == Temperament::Just) return octaves + (major ? kMajorJust[step] : kChromaticJust[step]);
    return octaves + (major ? kMajorMeantone[step] : kChromaticMeantone[step]);
}

std::optional<double> TargetCents(const RingSettings& settings, const RingBell* details, int bell) {
    if (bell < 1 || bell > settings.bellCount) return std::nullopt;
    if (details != nullptr && details->targetCents) return details->targetCents;
    if (settings.temperament == Temperament::Founder) {
        for (const FounderTarget& target : settings.founderTargets) {
            if (target.bell == bell) return target.cents;
        }
        // Founders' figures are cents above the tenor: the tenor's is 0 whether written or not.
        return bell == settings.bellCount ? std::optional<double>(0.0) : std::nullopt;
    }
    const std::optional<double> cents = ScaleCents(settings.scale, settings.temperament, settings.bellCount - bell);
    if (!cents) return std::nullopt;
    return *cents + settings.stretchCentsPerOctave * *cents / 1200.0;
}

std::string FounderFileErrorText(std::int16_t code) {
    switch (code) {
        case kFounderFileUnreadable: return "cannot read the file";
        case kFounderLineNoComma: return "expected bell,cents";
        case kFounderBadBell: return "the bell is not a whole number from 1 to 64";
        case kFounderBadCents: return "the cents are not a number";
        case kFounderDuplicate: return "bell given twice";
        case kFounderEmpty: return "no bell given";
        default: return "unknown error";
    }
}

bool ParseFounderTargets(std::string_view text, std::vector<FounderTarget>& targets, std::int16_t& code,
                         int& line) {
    std::vector<FounderTarget> parsed;
    std::array<bool, kMaxBells + 1> seen{};
    line = 0;
    CommaLine entry;
    while (NextCommaLine(text, line, entry)) {
        if (!entry.hasComma) {
            code = kFounderLineNoComma;
            return false;
        }
        const int bell = BellNumber(entry.left);
        double cents = 0.0;
        code = bell == 0                                    ? kFounderBadBell
               : !ParseWholeDouble(entry.right, cents)      ? kFounderBadCents
               : seen[static_cast<std::size_t>(bell)]                ? kFounderDuplicate
                                                                     : 0;
        if (code != 0) return false;
        seen[static_cast<std::size_t>(bell)] = true;
        parsed.push_back({bell, cents});
    }
    if (parsed.empty()) {
        code = kFounderEmpty;
        line = 0;
        return false;
    }
    targets = std::move(parsed);
    return true;
}

bool ReadFounderTargets(const std::string& path, std::vector<FounderTarget>& targets, std::int16_t& code,
                        int& line) {
    std::string text;
    if (!ReadSmallTextFile(path, text)) {
        code = kFounderFileUnreadable;
        line = 0;
        return false;
    }
    return ParseFounderTargets(text, targets, code, line);
}
