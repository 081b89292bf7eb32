#include <algorithm>
#include <array>
#include <cstdint>

#include "partials/partial_table.h"

namespace {

constexpr std::int16_t kHum = IndexOf(Partial::Hum);
constexpr std::int16_t kPrime = IndexOf(Partial::Prime);
constexpr std::int16_t kTierce = IndexOf(Partial::Tierce);
constexpr std::int16_t kNominal = IndexOf(Partial::Nominal);
constexpr std::int16_t kSuperquint = IndexOf(Partial::Superquint);
constexpr std::int16_t kOctaveNominal = IndexOf(Partial::OctaveNominal);
constexpr std::int16_t kQuint = IndexOf(Partial::Quint);

// A partial's frequency window as multiples of the nominal.
struct RatioWindow {
    double low;
    double high;
};
constexpr RatioWindow kHumWindow{0.23, 0.3};
constexpr RatioWindow kPrimeWindow{0.39, 0.55};
constexpr RatioWindow kTierceWindow{0.568, 0.63};
constexpr RatioWindow kQuintWindow{0.66, 0.88};
constexpr RatioWindow kSuperquintWindow{1.42, 1.53};
constexpr RatioWindow kOctaveWindow{1.97, 2.1};

// The nominal must be among the ten lowest rows.
constexpr int kHighestNominalRow = 9;

bool Inside(double f, RatioWindow window, double nominal) {
    return window.low * nominal < f && f < window.high * nominal;
}

}  // namespace

std::int16_t PartialTable::StrongestPeakIn(double lo, double hi) const {
    std::int16_t best = -1;
    double amplitude = 0.0;
    const int used = RowsInUse();
    for (int row = 0; row < used; ++row) {
        if (lo <= frequency[row] && frequency[row] <= hi && tailAmplitude[row] > amplitude) {
            amplitude = tailAmplitude[row];
            best = static_cast<std::int16_t>(row);
        }
    }
    return best;
}

double PartialTable::SearchCombination(double lowNominal, double highNominal,
                                       std::array<int, 4>& chosen) const {
    double nominalHz = 0.0;
    double best = 0.0;
    // Colexicographic order (nominal row slowest, hum row fastest); only a
    // strictly better score replaces the best, so the first visited wins a tie.
    const int lastNominalRow = std::min(RowsInUse() - 1, kHighestNominalRow);
    for (int n = 3; n <= lastNominalRow; ++n) {
        const double fn = frequency[n];
        if (!(lowNominal <= fn && fn <= highNominal)) {
            continue;
        }
        for (int t = 2; t < n; ++t) {
            for (int p = 1; p < t; ++p) {
                for (int h = 0; h < p; ++h) {
                    if (!Inside(frequency[h], kHumWindow, fn) ||
                        !Inside(frequency[p], kPrimeWindow, fn) ||
                        !Inside(frequency[t], kTierceWindow, fn)) {
                        continue;
                    }
                    // The hum does not count; dividing by the nominal favours
                    // the lower of two equally strong candidates.
                    const double score =
                        (tailAmplitude[p] + tailAmplitude[t] + tailAmplitude[n]) / fn;
                    if (score > best) {
                        best = score;
                        nominalHz = fn;
                        chosen = {h, p, t, n};
                    }
                }
            }
        }
    }
    return nominalHz;
}

double PartialTable::FindNominal(bool allowFallback, double lowNominal, double highNominal) {
    std::fill(partialIndex.begin(), partialIndex.begin() + RowsInUse(), NoPartial);
    std::array<int, 4> chosen{};
    double nominalHz = SearchCombination(lowNominal, highNominal, chosen);
    if (nominalHz != 0.0) {
        partialIndex[chosen[0]] = kHum;
        partialIndex[chosen[1]] = kPrime;
        partialIndex[chosen[2]] = kTierce;
        partialIndex[chosen[3]] = kNominal;
    } else if (allowFallback) {
        nominalHz = NameFallbackNominal(lowNominal, highNominal);
    }
    if (nominalHz != 0.0) {
        NameInWindow(kQuintWindow.low * nominalHz, kQuintWindow.high * nominalHz, kQuint);
        NameInWindow(kSuperquintWindow.low * nominalHz, kSuperquintWindow.high * nominalHz,
                     kSuperquint);
        NameInWindow(kOctaveWindow.low * nominalHz, kOctaveWindow.high * nominalHz, kOctaveNominal);
    }
    return nominalHz;
}

double PartialTable::NameFallbackNominal(double lowNominal, double highNominal) {
    const std::int16_t row = StrongestPeakIn(lowNominal, highNominal);
    if (row < 0) {
        return 0.0;
    }
    const double nominalHz = frequency[row];
    partialIndex[row] = kNominal;
    // Inclusive windows here, unlike the combination search.
    NameInWindow(kHumWindow.low * nominalHz, kHumWindow.high * nominalHz, kHum);
    NameInWindow(kPrimeWindow.low * nominalHz, kPrimeWindow.high * nominalHz, kPrime);
    NameInWindow(kTierceWindow.low * nominalHz, kTierceWindow.high * nominalHz, kTierce);
    return nominalHz;
}

void PartialTable::NameInWindow(double lo, double hi, std::int16_t index) {
    const std::int16_t row = StrongestPeakIn(lo, hi);
    if (row >= 0) {
        partialIndex[row] = index;
    }
}
