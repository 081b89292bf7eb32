#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "analysis/spectrum.h"
#include "partials/partial_table.h"

namespace {

using Rows = std::vector<std::pair<double, double>>;  // (frequency, amplitude)
constexpr std::int16_t N = NoPartial;
const double kNan = std::numeric_limits<double>::quiet_NaN(), kInf = std::numeric_limits<double>::infinity();

PartialTable Table(const Rows& rows) {
    PartialTable table;
    for (const auto& [hz, amplitude] : rows) table.AddPeak(hz, 0.0, amplitude, 0.0, 0.0, NoPartial);
    return table;
}

std::vector<double> Frequencies(const PartialTable& t) { return {t.frequency.begin(), t.frequency.begin() + t.count}; }

std::int16_t IndexOf(double hz) { return static_cast<std::int16_t>(static_cast<int>(hz / 100) % 8); }

// A row whose splash, attack and decay are its frequency and whose index follows from it.
void AddRow(PartialTable& table, double hz, double amplitude) { table.AddPeak(hz, hz, amplitude, hz, hz, IndexOf(hz)); }

// Rows from AddRow moved whole, and cents (set to the slot's number) stayed with their slots.
void ExpectWholeRows(const PartialTable& t) {
    for (int i = 0; i < t.count; ++i) {
        const double f = t.frequency[i];
        EXPECT_EQ(std::tuple(t.splashAmplitude[i], t.attack[i], t.decay[i], t.partialIndex[i], t.note[i], t.cents[i]),
                  std::tuple(f, f, f, IndexOf(f), NoteName(f), i)) << i;
    }
}

TEST(PartialTable, KeepsWholeRowsInFrequencyOrderAndAFullTableTradesItsWeakestRowForAStrongerPeak) {
    PartialTable table;  // unusable peaks first
    for (const auto& [hz, splash, tail] :
         {std::tuple{0.0, 0.0, 5.0}, {kNan, 0.0, 5.0}, {-kInf, 0.0, 5.0}, {100.0, 0.0, kNan}, {100.0, kInf, 1.0}}) {
        table.AddPeak(hz, splash, tail, 0.0, 0.0, NoPartial);
    }
    EXPECT_EQ(std::pair(table.count, table.partialsValid), std::pair(std::int16_t{0}, std::uint8_t{0}));
    table.AddPeak(-300.0, -300.0, -3.0, -300.0, -300.0, 3);  // stored as absolute values
    AddRow(table, 100.0, 1.0);
    AddRow(table, 200.0, 2.0);
    table.partialsValid = 0;
    AddRow(table, 200.0, 9.0);  // a duplicate changes nothing, not even the flag
    EXPECT_EQ(Frequencies(table), (std::vector<double>{100.0, 200.0, 300.0}));
    EXPECT_EQ(std::tuple(table.tailAmplitude[1], table.tailAmplitude[2], table.partialsValid), std::tuple(2.0, 3.0, 0));
    table.cents = {0, 1, 2};
    ExpectWholeRows(table);
    EXPECT_TRUE(table.HasPeakIn(300.0, 300.5) && !table.HasPeakIn(299.5, 300.0));  // [lo, hi)
    EXPECT_FALSE(table.HasPeakIn(0.0, 0.5)) << "rows not in use (frequency 0) do not count";
    table.nominal = 500.0;
    table.Clear();
    EXPECT_EQ(std::tuple(table.count, table.nominal, table.partialsValid, table.frequency[0], table.partialIndex[0],
                         table.note[0]), std::tuple(0, 0.0, 0, 0.0, N, ""));
    // The weakest row below or above the new one's place, or the new one lowest of all; of two equally weak rows
    // the lower leaves; a peak no stronger than the weakest is refused, yet sets the flag.
    const struct { int weak, alsoWeak; double hz, amplitude, gone; } cases[] = {
        {5, 5, 1050, 5, 600}, {20, 20, 250, 5, 2100}, {20, 20, 50, 5, 2100}, {7, 15, 3000, 2, 800},
        {7, 15, 3000, 1, 0}};
    for (const auto& c : cases) {
        PartialTable table;
        for (int i = 0; i < kPartialRows; ++i) AddRow(table, 100.0 * (i + 1), i == c.weak || i == c.alsoWeak ? 1 : 10);
        for (int i = 0; i < kPartialRows; ++i) table.cents[i] = i;
        table.partialsValid = 0;
        AddRow(table, c.hz, c.amplitude);
        std::vector<double> expected;
        for (int i = 1; i <= kPartialRows; ++i) if (100.0 * i != c.gone) expected.push_back(100.0 * i);
        if (c.gone != 0) expected.insert(std::upper_bound(expected.begin(), expected.end(), c.hz), c.hz);
        EXPECT_EQ(std::pair(Frequencies(table), table.partialsValid), std::pair(expected, std::uint8_t{1})) << c.hz;
        ExpectWholeRows(table);
    }
}

TEST(NominalSearch, NamesThePartialsAroundTheBestSupportedNominal) {
    const Rows bell = {{125, 1}, {250, 2}, {300, 3}, {350, 9}, {400, 1}, {500, 4}, {750, 1}, {1000, 2}},
               high = {{20, 1}, {21, 1}, {22, 1}, {23, 1}, {24, 1}, {25, 1}, {26, 1}, {125, 1}, {250, 1}, {300, 1},
                       {500, 50}, {750, 1}},
               lowHum = {{115, 1}, {250, 1}, {300, 1}, {500, 1}}, highHum = {{150, 1}, {250, 1}, {300, 1}, {500, 1}},
               silent = {{125, 1}, {250, 0}, {300, 0}, {500, 0}}, three = {{250, 1}, {300, 1}, {500, 2}};
    const struct { Rows rows; bool fallback; double low, high, nominal; std::vector<std::int16_t> names; } cases[] = {
        // hum, prime, tierce, quint (the strongest in 330 ... 440), -, nominal, superquint, octave; inclusive limits.
        {bell, false, 0, 5000, 500, {0, 1, 2, 6, N, 3, 4, 5}}, {bell, false, 500, 500, 500, {0, 1, 2, 6, N, 3, 4, 5}},
        {bell, false, 500.5, 5000, 0, std::vector<std::int16_t>(8, N)},
        // The nominal must be among the ten lowest rows, unless the fallback takes the strongest row.
        {high, false, 0, 5000, 0, std::vector<std::int16_t>(12, N)},
        {high, true, 400, 600, 500, {N, N, N, N, N, N, N, 0, 1, 2, 3, 4}},
        // A hum on a window edge (0.23 or 0.3 x 500 Hz): refused by the search, taken by the fallback.
        {lowHum, false, 0, 5000, 0, {N, N, N, N}}, {lowHum, true, 400, 600, 500, {0, 1, 2, 3}},
        {highHum, false, 0, 5000, 0, {N, N, N, N}}, {highHum, true, 400, 600, 500, {0, 1, 2, 3}},
        // Equal scores (300 / 500 = 360 / 600): the lower nominal; one unit more: 600 Hz, the lower of equal primes.
        {{{125, 1}, {150, 1}, {250, 100}, {300, 100}, {360, 100}, {500, 100}, {600, 160}}, false, 0, 5000, 500,
         {0, N, 1, 2, 6, 3, N}},
        {{{125, 1}, {150, 1}, {250, 100}, {300, 100}, {360, 100}, {500, 100}, {600, 161}}, false, 0, 5000, 600,
         {N, 0, 1, N, 2, 6, 3}},
        // No positive score, or too few rows: only the fallback (the strongest row, the lowest of equals) helps.
        {silent, false, 0, 5000, 0, {N, N, N, N}}, {silent, true, 0, 5000, 125, {3, N, N, N}},
        {three, false, 0, 5000, 0, {N, N, N}}, {three, true, 0, 5000, 500, {1, 2, 3}},
        {{{400, 5}, {500, 5}}, true, 0, 5000, 400, {3, N}},
        {{{125, 1}, {250, 1}, {300, 1}, {500, 1}}, false, 0, 5000, 500, {0, 1, 2, 3}}};  // the nominal in row 3
    for (const auto& c : cases) {
        PartialTable table = Table(c.rows);
        table.partialIndex.fill(0);  // stale names are cleared
        EXPECT_EQ(table.FindNominal(c.fallback, c.low, c.high), c.nominal) << c.rows[0].first << " " << c.fallback;
        EXPECT_EQ(std::vector<std::int16_t>(table.partialIndex.begin(), table.partialIndex.begin() + table.count),
                  c.names) << c.rows[0].first << " " << c.fallback;
    }
}

TEST(NoteNames, NamesOctavesAndDeviationsInAnyLocaleAndCentsFromTheNominal) {
    const struct { double hz; const char* text; } cases[] = {
        {32.7031956625748, "C(-2) +0"}, {65.40639, "C(-1) +0"}, {123.4708, "B(-1) +0"}, {127.0, "B(-1) +48"},
        {128.0, "C(0) -37"}, {254.3, "C(1) -49"}, {261.6256, "C(1) +0"}, {440.0, "A(1) +0"}, {430.0, "A(1) -39"},
        {450.0, "A(1) +38"}, {466.16, "Bb(1) +0"}, {369.9944227116344, "F#(1) +0"}, {1000.0, "B(2) +21"},
        {std::numeric_limits<double>::max(), "C(1017) -37"}, {32.7, " "}, {0.0, " "}, {-440.0, " "}, {kInf, " "},
        {-kInf, " "}, {kNan, " "}};
    for (const auto& c : cases) EXPECT_EQ(NoteName(c.hz), c.text) << c.hz;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        const std::string text = NoteName(430.0);
        std::setlocale(LC_ALL, "C");
        EXPECT_EQ(text, "A(1) -39") << "under a German locale";
    }
    PartialTable table = Table({{300, 1}, {500.0 * (1.0 - 1e-12), 1}, {500, 1}, {600, 1}, {750, 1}});
    table.cents[24] = 7.0;
    for (double nominal : {0.0, -500.0, kNan, kInf}) table.nominal = nominal, table.UpdateCentsAndNotes();
    EXPECT_EQ(std::pair(table.cents[24], table.note[24]), std::pair(7.0, std::string())) << "no usable nominal";
    table.nominal = 500.0;
    table.UpdateCentsAndNotes();  // toward zero to a tenth; a hair below the nominal gives +0.0; unused rows 0, " "
    EXPECT_EQ(std::vector<double>(table.cents.begin(), table.cents.begin() + 6),
              (std::vector<double>{-884.3, 0.0, 0.0, 315.6, 701.9, 0.0}));
    EXPECT_FALSE(std::signbit(table.cents[1]));
    EXPECT_EQ(table.note[24], " ");
}

// A spectrum of steps + 1 zeros 0.5 Hz apart from `start` Hz, both curves (the smoothed one only when `smoothed`),
// with `ratio`.
Spectrum Prepare(std::int32_t steps, double ratio, double start = 0.0, bool smoothed = true) {
    Spectrum s{start, start + steps * 0.5, 0.5, steps, std::vector<double>(steps + 1), {}, 1.0, ratio};
    if (smoothed) s.smoothed = s.magnitudes;
    return s;
}

TEST(PeakDetection, NeedsThreeWindowsOfSmoothedSpectrumAndTakesSharpPeaksAboveOnePointFivePercent) {
    // resolutionRatio 0.5 and 1 give windows W = 8 and 16.
    const struct { double ratio; std::int32_t steps; bool smoothed; bool accepted; } cases[] = {
        {0.5, 23, 1, false}, {0.5, 24, 1, true}, {1.0, 47, 1, false}, {1.0, 48, 1, true}, {kNan, 1000, 1, false},
        {-1.0, 1000, 1, false}, {1e300, 1000, 1, false}, {1.0, 1000, 0, false}};
    for (const auto& c : cases) {
        PartialTable table = Table({{123, 1}});
        EXPECT_EQ(table.DetectPeaks(Prepare(c.steps, c.ratio, 0.0, c.smoothed)), c.accepted) << c.ratio << " " << c.steps;
        EXPECT_EQ(table.count, c.accepted ? 0 : 1) << c.ratio << " " << c.steps;
    }
    // Triangles on the smoothed curve: with W = 16 half-width h scores 2 - 16 / h, so 69 gives 1.768 (taken) and 70
    // 1.771 (refused). Candidate 900 searches raw points 885 ... 917, the lower of equals winning. A ramp has no peak.
    Spectrum spectrum = Prepare(2000, 1.0, 100.0);
    for (const auto& [centre, height] : {std::pair{200, 69}, {600, 70}, {900, 16}, {1000, 16}, {1200, 16}}) {
        for (int k = -height; k <= height; ++k) spectrum.smoothed[centre + k] += height - std::abs(k);
    }
    for (int i = 1500; i <= 2000; ++i) spectrum.smoothed[i] = i, spectrum.magnitudes[i] = 0.5;
    for (const auto& [point, value] :
         {std::pair{200, 1.0}, {600, 1.0}, {884, 3.0}, {916, 2.0}, {917, 2.0}, {1000, 0.015}, {1200, 0.0151}}) {
        spectrum.magnitudes[point] = value;
    }
    PartialTable table;
    ASSERT_TRUE(table.DetectPeaks(spectrum));
    EXPECT_EQ(Frequencies(table), (std::vector<double>{200.0, 558.0, 700.0}));
    EXPECT_EQ(std::vector<double>(table.tailAmplitude.begin(), table.tailAmplitude.begin() + 3),
              (std::vector<double>{1.0, 2.0, 0.0151}));
    EXPECT_EQ(std::tuple(table.partialIndex[2], table.splashAmplitude[2], table.partialsValid), std::tuple(N, 0.0, 1));
}

}  // namespace
