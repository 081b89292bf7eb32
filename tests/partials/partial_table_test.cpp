#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "partials/partial_table.h"

namespace {

std::vector<double> Frequencies(const PartialTable& table) {
    return {table.frequency.begin(), table.frequency.begin() + table.count};
}

// 25 rows at 100, 200, ... 2500 Hz, amplitude 10 each, cents = row index
// (so that a test can see which cents stayed where).
PartialTable FullTable() {
    PartialTable table;
    for (int i = 0; i < kPartialRows; ++i) {
        table.AddPeak(100.0 * (i + 1), 0.0, 10.0, 0.0, 0.0, NoPartial);
    }
    for (int i = 0; i < kPartialRows; ++i) {
        table.cents[i] = i;
    }
    return table;
}

TEST(PartialTableTest, ConstructionGivesEmptyTableWithNames) {
    PartialTable table;
    const std::array<std::string, 8> names = {"hum",        "prime",     "tierce", "nominal",
                                              "superquint", "oct. nom.", "quint",  ""};
    EXPECT_EQ(table.partialNames, names);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.partialsValid, 0);
    EXPECT_EQ(table.partialIndex[24], NoPartial);
}

TEST(PartialTableTest, ClearEmptiesEveryColumnNominalAndFlag) {
    PartialTable table = FullTable();
    table.nominal = 500.0;
    table.Clear();
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.nominal, 0.0);
    EXPECT_EQ(table.partialsValid, 0);
    for (int i = 0; i < kPartialRows; ++i) {
        EXPECT_EQ(table.frequency[i], 0.0);
        EXPECT_EQ(table.tailAmplitude[i], 0.0);
        EXPECT_EQ(table.cents[i], 0.0);
        EXPECT_EQ(table.partialIndex[i], NoPartial);
        EXPECT_TRUE(table.note[i].empty());
    }
}

TEST(PartialTableTest, AddPeakKeepsRowsSortedAndMovesWholeRows) {
    PartialTable table;
    table.AddPeak(300.0, 1.0, 3.0, 4.0, 5.0, 2);
    table.AddPeak(100.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.AddPeak(200.0, 0.0, 2.0, 0.0, 0.0, 1);
    EXPECT_EQ(Frequencies(table), (std::vector<double>{100.0, 200.0, 300.0}));
    EXPECT_EQ(table.tailAmplitude[2], 3.0);
    EXPECT_EQ(table.splashAmplitude[2], 1.0);
    EXPECT_EQ(table.attack[2], 4.0);
    EXPECT_EQ(table.decay[2], 5.0);
    EXPECT_EQ(table.partialIndex[2], 2);
    EXPECT_EQ(table.partialIndex[1], 1);
    EXPECT_EQ(table.note[2], NoteName(300.0));
    EXPECT_EQ(table.partialsValid, 1);
}

TEST(PartialTableTest, AddPeakStoresAbsoluteValues) {
    PartialTable table;
    table.AddPeak(-440.0, -1.0, -2.0, -3.0, -4.0, NoPartial);
    ASSERT_EQ(table.count, 1);
    EXPECT_EQ(table.frequency[0], 440.0);
    EXPECT_EQ(table.splashAmplitude[0], 1.0);
    EXPECT_EQ(table.tailAmplitude[0], 2.0);
    EXPECT_EQ(table.attack[0], 3.0);
    EXPECT_EQ(table.decay[0], 4.0);
    EXPECT_EQ(table.note[0], "A(1) +0");
}

TEST(PartialTableTest, AddPeakIgnoresZeroNonFiniteAndDuplicates) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    PartialTable table;
    table.AddPeak(0.0, 0.0, 5.0, 0.0, 0.0, NoPartial);
    table.AddPeak(nan, 0.0, 5.0, 0.0, 0.0, NoPartial);
    table.AddPeak(-inf, 0.0, 5.0, 0.0, 0.0, NoPartial);
    table.AddPeak(100.0, 0.0, nan, 0.0, 0.0, NoPartial);
    table.AddPeak(100.0, inf, 1.0, 0.0, 0.0, NoPartial);
    table.AddPeak(100.0, 0.0, 1.0, nan, 0.0, NoPartial);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.partialsValid, 0);

    table.AddPeak(200.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.AddPeak(100.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.partialsValid = 0;
    table.AddPeak(200.0, 0.0, 9.0, 0.0, 0.0, 3);
    table.AddPeak(-100.0, 0.0, 9.0, 0.0, 0.0, 3);
    EXPECT_EQ(Frequencies(table), (std::vector<double>{100.0, 200.0}));
    EXPECT_EQ(table.tailAmplitude[1], 1.0);
    EXPECT_EQ(table.partialsValid, 0) << "a duplicate must not even set the flag";
}

TEST(PartialTableTest, ThirtyRisingPeaksKeepTheStrongest25InOrder) {
    PartialTable table;
    // Offered out of frequency order so that insertion and replacement mix.
    for (int i = 0; i < 30; ++i) {
        const int k = (i * 7) % 30;
        table.AddPeak(1000.0 - 10.0 * k, 0.0, 1.0 + (30 - k), 0.0, 0.0, NoPartial);
    }
    // Amplitude falls with k, so k = 0 ... 24 survive: 760 ... 1000 Hz.
    ASSERT_EQ(table.count, 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(table.frequency[i], 760.0 + 10.0 * i) << i;
        EXPECT_EQ(table.tailAmplitude[i], 1.0 + (30 - (24 - i))) << i;
    }
}

TEST(PartialTableTest, FullTableNewPeakAboveWeakestLandsOneBelowInsertionPoint) {
    PartialTable table = FullTable();
    table.tailAmplitude[5] = 1.0;  // 600 Hz is the weakest
    table.AddPeak(1050.0, 0.0, 5.0, 0.0, 0.0, 3);
    ASSERT_EQ(table.count, 25);
    // Insertion point 10 (after 1000 Hz); the 600 Hz slot closes first.
    EXPECT_EQ(table.frequency[4], 500.0);
    EXPECT_EQ(table.frequency[5], 700.0);
    EXPECT_EQ(table.frequency[8], 1000.0);
    EXPECT_EQ(table.frequency[9], 1050.0);
    EXPECT_EQ(table.frequency[10], 1100.0);
    EXPECT_EQ(table.partialIndex[9], 3);
    EXPECT_EQ(table.note[5], NoteName(700.0));
    for (int i = 0; i < kPartialRows; ++i) {
        EXPECT_EQ(table.cents[i], i) << "cents stay with the slot, row " << i;
    }
}

TEST(PartialTableTest, FullTableNewPeakBelowWeakestLandsAtInsertionPoint) {
    PartialTable table = FullTable();
    table.tailAmplitude[20] = 1.0;  // 2100 Hz
    table.AddPeak(250.0, 0.0, 5.0, 0.0, 0.0, NoPartial);
    ASSERT_EQ(table.count, 25);
    EXPECT_EQ(table.frequency[1], 200.0);
    EXPECT_EQ(table.frequency[2], 250.0);
    EXPECT_EQ(table.frequency[3], 300.0);
    EXPECT_EQ(table.frequency[20], 2000.0);
    EXPECT_EQ(table.frequency[21], 2200.0);
    EXPECT_EQ(table.tailAmplitude[2], 5.0);
}

TEST(PartialTableTest, FullTableWeakestTieDropsLowestRowAndEqualPeakIsRefused) {
    PartialTable table = FullTable();
    table.tailAmplitude[7] = 1.0;
    table.tailAmplitude[15] = 1.0;
    table.partialsValid = 0;
    table.AddPeak(3000.0, 0.0, 1.0, 0.0, 0.0, NoPartial);  // as weak as the weakest
    EXPECT_EQ(table.frequency[24], 2500.0);
    EXPECT_EQ(table.frequency[7], 800.0);
    EXPECT_EQ(table.partialsValid, 1) << "a refused peak of a full table still sets the flag";

    table.AddPeak(3000.0, 0.0, 2.0, 0.0, 0.0, NoPartial);
    EXPECT_EQ(table.frequency[7], 900.0) << "800 Hz (row 7) leaves before 1600 Hz (row 15)";
    EXPECT_EQ(table.frequency[14], 1600.0);
    EXPECT_EQ(table.frequency[24], 3000.0);
}

TEST(PartialTableTest, HasPeakInIncludesLowerBoundOnly) {
    PartialTable table;
    table.AddPeak(500.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    EXPECT_TRUE(table.HasPeakIn(500.0, 500.5));
    EXPECT_FALSE(table.HasPeakIn(499.5, 500.0));
    EXPECT_TRUE(table.HasPeakIn(499.5, 500.5));
    EXPECT_FALSE(table.HasPeakIn(0.0, 0.5)) << "rows not in use (frequency 0) do not count";
}

}  // namespace
