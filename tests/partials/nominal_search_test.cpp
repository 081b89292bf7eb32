#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "partials/partial_table.h"

namespace {

constexpr std::int16_t kHum = 0, kPrime = 1, kTierce = 2, kNominal = 3, kSuperquint = 4,
                       kOctave = 5, kQuint = 6;

// Rows from (frequency, amplitude) pairs.
PartialTable Table(std::initializer_list<std::pair<double, double>> peaks) {
    PartialTable table;
    for (const auto& [f, a] : peaks) {
        table.AddPeak(f, 0.0, a, 0.0, 0.0, NoPartial);
    }
    return table;
}

std::int16_t IndexAt(const PartialTable& table, double f) {
    for (int i = 0; i < table.count; ++i) {
        if (table.frequency[i] == f) {
            return table.partialIndex[i];
        }
    }
    ADD_FAILURE() << "no row at " << f;
    return -1;
}

TEST(NominalSearchTest, NamesEveryPartialOfA500HzBell) {
    PartialTable table = Table({{125, 1}, {250, 2}, {300, 3}, {350, 9}, {400, 1},
                                {500, 4}, {750, 1}, {1000, 2}});
    table.partialIndex[4] = kHum;  // a stale name (400 Hz) is cleared
    EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 500.0);
    EXPECT_EQ(IndexAt(table, 125), kHum);
    EXPECT_EQ(IndexAt(table, 250), kPrime);
    EXPECT_EQ(IndexAt(table, 300), kTierce);
    EXPECT_EQ(IndexAt(table, 350), kQuint) << "strongest in 330 ... 440 Hz";
    EXPECT_EQ(IndexAt(table, 400), NoPartial);
    EXPECT_EQ(IndexAt(table, 500), kNominal);
    EXPECT_EQ(IndexAt(table, 750), kSuperquint);
    EXPECT_EQ(IndexAt(table, 1000), kOctave);
}

TEST(NominalSearchTest, NominalLimitsAreInclusiveAndRestrictTheSearch) {
    PartialTable table = Table({{125, 1}, {250, 1}, {300, 1}, {500, 1}});
    EXPECT_EQ(table.FindNominal(false, 500.0, 500.0), 500.0);
    EXPECT_EQ(table.FindNominal(false, 500.5, 5000.0), 0.0);
    EXPECT_EQ(table.partialIndex[0], NoPartial);
    EXPECT_EQ(table.FindNominal(false, 0.0, 499.5), 0.0);
}

TEST(NominalSearchTest, NominalAboveTheTenLowestRowsNeedsTheFallback) {
    // Seven low rows that support nothing, then hum, prime, tierce in rows
    // 7 ... 9 and the nominal in row 10.
    PartialTable table = Table({{20, 1}, {21, 1}, {22, 1}, {23, 1}, {24, 1}, {25, 1}, {26, 1},
                                {125, 1}, {250, 1}, {300, 1}, {500, 50}, {750, 1}});
    ASSERT_EQ(table.frequency[10], 500.0);
    EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 0.0);
    for (int i = 0; i < table.count; ++i) {
        EXPECT_EQ(table.partialIndex[i], NoPartial);
    }
    EXPECT_EQ(table.FindNominal(true, 400.0, 600.0), 500.0);
    EXPECT_EQ(table.partialIndex[7], kHum);
    EXPECT_EQ(table.partialIndex[8], kPrime);
    EXPECT_EQ(table.partialIndex[9], kTierce);
    EXPECT_EQ(table.partialIndex[10], kNominal);
    EXPECT_EQ(table.partialIndex[11], kSuperquint);
}

TEST(NominalSearchTest, HumOnAWindowEdgeIsRefusedBySearchButTakenByFallback) {
    for (const double ratio : {0.23, 0.3}) {
        PartialTable table = Table({{ratio * 500.0, 1}, {250, 1}, {300, 1}, {500, 1}});
        EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 0.0) << ratio;
        EXPECT_EQ(table.FindNominal(true, 400.0, 600.0), 500.0) << ratio;
        EXPECT_EQ(table.partialIndex[0], kHum) << ratio;
        EXPECT_EQ(table.partialIndex[3], kNominal) << ratio;
    }
}

TEST(NominalSearchTest, EqualScoresKeepTheFirstVisitedQuadruple) {
    // 500 Hz: (100 + 100 + 100) / 500; 600 Hz: (100 + 100 + 160) / 600;
    // both 0.6, and the lower nominal row is visited first.
    PartialTable table = Table({{125, 1}, {150, 1}, {250, 100}, {300, 100}, {360, 100},
                                {500, 100}, {600, 160}});
    EXPECT_EQ(table.FindNominal(false, 0.0, 5000.0), 500.0);
    EXPECT_EQ(IndexAt(table, 125), kHum);
    EXPECT_EQ(IndexAt(table, 150), NoPartial);
    EXPECT_EQ(IndexAt(table, 360), kQuint);
    EXPECT_EQ(IndexAt(table, 600), NoPartial);

    // One unit more at 600 Hz and the later quadruple wins.
    PartialTable stronger = Table({{125, 1}, {150, 1}, {250, 100}, {300, 100}, {360, 100},
                                   {500, 100}, {600, 161}});
    EXPECT_EQ(stronger.FindNominal(false, 0.0, 5000.0), 600.0);
    EXPECT_EQ(IndexAt(stronger, 150), kHum);
    EXPECT_EQ(IndexAt(stronger, 250), kPrime) << "lower prime row visited first on a tie";
    EXPECT_EQ(IndexAt(stronger, 360), kTierce);
}

TEST(NominalSearchTest, ZeroScoreAndTooFewRowsFindNothingWithoutFallback) {
    PartialTable silent = Table({{125, 1}, {250, 0}, {300, 0}, {500, 0}});
    EXPECT_EQ(silent.FindNominal(false, 0.0, 5000.0), 0.0);
    EXPECT_EQ(silent.FindNominal(true, 0.0, 5000.0), 125.0)
        << "the fallback takes the strongest row, wherever it lies";

    PartialTable three = Table({{250, 1}, {300, 1}, {500, 2}});
    EXPECT_EQ(three.FindNominal(false, 0.0, 5000.0), 0.0);
    EXPECT_EQ(three.FindNominal(true, 0.0, 5000.0), 500.0);
    EXPECT_EQ(three.partialIndex[0], kPrime);
    EXPECT_EQ(three.partialIndex[1], kTierce);

    PartialTable empty;
    EXPECT_EQ(empty.FindNominal(true, 0.0, 5000.0), 0.0);
}

TEST(NominalSearchTest, StrongestPeakInUsesInclusiveBoundsAndLowestRowOnTies) {
    PartialTable table = Table({{100, 2}, {200, 5}, {300, 5}, {400, 0}});
    EXPECT_EQ(table.StrongestPeakIn(100.0, 300.0), 1);
    EXPECT_EQ(table.StrongestPeakIn(300.0, 300.0), 2);
    EXPECT_EQ(table.StrongestPeakIn(100.0, 100.0), 0);
    EXPECT_EQ(table.StrongestPeakIn(350.0, 450.0), -1) << "an amplitude of 0 never counts";
    EXPECT_EQ(table.StrongestPeakIn(0.0, 0.5), -1);
}

}  // namespace
