#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "partials/partial_table.h"

namespace {

constexpr std::int16_t N = NoPartial;  // short for the expected index lists

// Rows from (frequency, amplitude) pairs.
PartialTable Table(std::initializer_list<std::pair<double, double>> peaks) {
    PartialTable table;
    for (const auto& [f, a] : peaks) {
        table.AddPeak(f, 0.0, a, 0.0, 0.0, NoPartial);
    }
    return table;
}

std::vector<std::int16_t> Indices(const PartialTable& table) {
    return {table.partialIndex.begin(), table.partialIndex.begin() + table.count};
}

TEST(NominalSearchTest, NamesEveryPartialOfA500HzBell) {
    PartialTable table = Table({{125, 1}, {250, 2}, {300, 3}, {350, 9}, {400, 1},
                                {500, 4}, {750, 1}, {1000, 2}});
    table.partialIndex[4] = 0;  // a stale name is cleared
    EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 500.0);
    // hum, prime, tierce, quint (strongest in 330 ... 440), -, nominal,
    // superquint, octave nominal.
    EXPECT_EQ(Indices(table), (std::vector<std::int16_t>{0, 1, 2, 6, N, 3, 4, 5}));
    // The limits are inclusive.
    EXPECT_EQ(table.FindNominal(false, 500.0, 500.0), 500.0);
    EXPECT_EQ(table.FindNominal(false, 500.5, 5000.0), 0.0);
    EXPECT_EQ(Indices(table), std::vector<std::int16_t>(8, N));
}

TEST(NominalSearchTest, NominalAboveTheTenLowestRowsNeedsTheFallback) {
    // Seven rows that support nothing, hum, prime, tierce in rows 7 ... 9,
    // the nominal in row 10.
    PartialTable table = Table({{20, 1}, {21, 1}, {22, 1}, {23, 1}, {24, 1}, {25, 1}, {26, 1},
                                {125, 1}, {250, 1}, {300, 1}, {500, 50}, {750, 1}});
    EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 0.0);
    EXPECT_EQ(table.FindNominal(true, 400.0, 600.0), 500.0);
    EXPECT_EQ(Indices(table), (std::vector<std::int16_t>{N, N, N, N, N, N, N, 0, 1, 2, 3, 4}));
}

TEST(NominalSearchTest, HumOnAWindowEdgeIsRefusedBySearchButTakenByFallback) {
    for (const double ratio : {0.23, 0.3}) {
        PartialTable table = Table({{ratio * 500.0, 1}, {250, 1}, {300, 1}, {500, 1}});
        EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 0.0) << ratio;
        EXPECT_EQ(table.FindNominal(true, 400.0, 600.0), 500.0) << ratio;
        EXPECT_EQ(Indices(table), (std::vector<std::int16_t>{0, 1, 2, 3})) << ratio;
    }
}

TEST(NominalSearchTest, EqualScoresKeepTheFirstVisitedQuadruple) {
    // 500 Hz scores (100 + 100 + 100) / 500 and 600 Hz (100 + 100 + 160) /
    // 600, both 0.6: the lower nominal row is visited first.
    PartialTable tie = Table({{125, 1}, {150, 1}, {250, 100}, {300, 100}, {360, 100},
                              {500, 100}, {600, 160}});
    EXPECT_EQ(tie.FindNominal(false, 0.0, 5000.0), 500.0);
    EXPECT_EQ(Indices(tie), (std::vector<std::int16_t>{0, N, 1, 2, 6, 3, N}));
    // One unit more and 600 Hz wins; its primes 250 and 300 tie, the lower
    // prime row is visited first.
    tie.tailAmplitude[6] = 161;
    EXPECT_EQ(tie.FindNominal(false, 0.0, 5000.0), 600.0);
    EXPECT_EQ(Indices(tie), (std::vector<std::int16_t>{N, 0, 1, N, 2, 6, 3}));
}

TEST(NominalSearchTest, ZeroScoreOrTooFewRowsLeaveOnlyTheFallback) {
    PartialTable silent = Table({{125, 1}, {250, 0}, {300, 0}, {500, 0}});
    EXPECT_EQ(silent.FindNominal(false, 0.0, 5000.0), 0.0);
    EXPECT_EQ(silent.FindNominal(true, 0.0, 5000.0), 125.0) << "strongest row in the limits";
    PartialTable three = Table({{250, 1}, {300, 1}, {500, 2}});
    EXPECT_EQ(three.FindNominal(false, 0.0, 5000.0), 0.0);
    EXPECT_EQ(three.FindNominal(true, 0.0, 5000.0), 500.0);
    EXPECT_EQ(Indices(three), (std::vector<std::int16_t>{1, 2, 3}));
}

TEST(NominalSearchTest, StrongestPeakInUsesInclusiveBoundsAndLowestRowOnTies) {
    PartialTable table = Table({{100, 2}, {200, 5}, {300, 5}, {400, 0}});
    EXPECT_EQ(table.StrongestPeakIn(100.0, 300.0), 1);
    EXPECT_EQ(table.StrongestPeakIn(300.0, 300.0), 2);
    EXPECT_EQ(table.StrongestPeakIn(100.0, 100.0), 0);
    EXPECT_EQ(table.StrongestPeakIn(350.0, 450.0), -1) << "an amplitude of 0 never counts";
}

}  // namespace
