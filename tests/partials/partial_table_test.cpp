#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "partials/partial_table.h"

namespace {

std::vector<double> Frequencies(const PartialTable& table) {
    return {table.frequency.begin(), table.frequency.begin() + table.count};
}

// 25 rows at 100, 200, ... 2500 Hz of amplitude 10; cents = row index, so a
// test can see that cents stay with their slot.
PartialTable FullTable() {
    PartialTable table;
    for (int i = 0; i < kPartialRows; ++i) {
        table.AddPeak(100.0 * (i + 1), 0.0, 10.0, 0.0, 0.0, NoPartial);
        table.cents[i] = i;
    }
    return table;
}

TEST(PartialTableTest, NamesAndClear) {
    PartialTable table = FullTable();
    EXPECT_EQ(table.partialNames, (std::array<std::string, 8>{"hum", "prime", "tierce", "nominal",
                                                              "superquint", "oct. nom.", "quint", ""}));
    table.nominal = 500.0;
    table.Clear();
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.nominal, 0.0);
    EXPECT_EQ(table.partialsValid, 0);
    EXPECT_EQ(table.frequency, decltype(table.frequency){});
    EXPECT_EQ(table.tailAmplitude, decltype(table.tailAmplitude){});
    EXPECT_EQ(table.cents, decltype(table.cents){});
    EXPECT_EQ(table.note, decltype(table.note){});
    EXPECT_EQ(table.partialIndex[24], NoPartial);
}

TEST(PartialTableTest, AddPeakSortsStoresAbsoluteValuesAndMovesWholeRows) {
    PartialTable table;
    table.AddPeak(-300.0, -1.0, -3.0, -4.0, -5.0, 2);
    table.AddPeak(100.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.AddPeak(200.0, 0.0, 2.0, 0.0, 0.0, 1);
    EXPECT_EQ(Frequencies(table), (std::vector<double>{100.0, 200.0, 300.0}));
    EXPECT_EQ(table.splashAmplitude[2], 1.0);
    EXPECT_EQ(table.tailAmplitude[2], 3.0);
    EXPECT_EQ(table.attack[2], 4.0);
    EXPECT_EQ(table.decay[2], 5.0);
    EXPECT_EQ(table.partialIndex[2], 2);
    EXPECT_EQ(table.note[2], "D(1) +36");
    EXPECT_EQ(table.partialsValid, 1);
}

TEST(PartialTableTest, AddPeakIgnoresZeroNonFiniteAndDuplicates) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    PartialTable table;
    // frequency, splash and tail amplitude
    const double unusable[][3] = {{0.0, 0.0, 5.0}, {nan, 0.0, 5.0}, {-inf, 0.0, 5.0}, {100.0, 0.0, nan}, {100.0, inf, 1.0}};
    for (const auto& p : unusable) table.AddPeak(p[0], p[1], p[2], 0.0, 0.0, NoPartial);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.partialsValid, 0);

    table.AddPeak(200.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    table.partialsValid = 0;
    table.AddPeak(-200.0, 0.0, 9.0, 0.0, 0.0, 3);
    EXPECT_EQ(table.count, 1);
    EXPECT_EQ(table.tailAmplitude[0], 1.0);
    EXPECT_EQ(table.partialsValid, 0) << "a duplicate must not even set the flag";
}

TEST(PartialTableTest, ThirtyPeaksKeepTheStrongest25InOrder) {
    PartialTable table;
    // Offered out of frequency order; amplitude falls with k, so k = 0 ... 24
    // (760 ... 1000 Hz) survive.
    for (int i = 0; i < 30; ++i) {
        const int k = (i * 7) % 30;
        table.AddPeak(1000.0 - 10.0 * k, 0.0, 31.0 - k, 0.0, 0.0, NoPartial);
    }
    ASSERT_EQ(table.count, 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(table.frequency[i], 760.0 + 10.0 * i) << i;
        EXPECT_EQ(table.tailAmplitude[i], 7.0 + i) << i;
    }
}

TEST(PartialTableTest, FullTableReplacesTheWeakestRowOnEitherSide) {
    // Weakest (600 Hz, row 5) below the insertion point 10: its slot closes
    // first and the new row lands in row 9.
    PartialTable above = FullTable();
    above.tailAmplitude[5] = 1.0;
    above.AddPeak(1050.0, 0.0, 5.0, 0.0, 0.0, 3);
    EXPECT_EQ(Frequencies(above)[5], 700.0);
    EXPECT_EQ(Frequencies(above)[9], 1050.0);
    EXPECT_EQ(Frequencies(above)[10], 1100.0);
    EXPECT_EQ(above.partialIndex[9], 3);
    for (int i = 0; i < kPartialRows; ++i) {
        EXPECT_EQ(above.cents[i], i) << "cents are not moved, row " << i;
    }
    // Weakest (2100 Hz, row 20) above the insertion point 2.
    PartialTable below = FullTable();
    below.tailAmplitude[20] = 1.0;
    below.AddPeak(250.0, 0.0, 5.0, 0.0, 0.0, NoPartial);
    EXPECT_EQ(Frequencies(below)[2], 250.0);
    EXPECT_EQ(Frequencies(below)[3], 300.0);
    EXPECT_EQ(Frequencies(below)[20], 2000.0);
    EXPECT_EQ(Frequencies(below)[21], 2200.0);
}

TEST(PartialTableTest, FullTableRefusesAnEqualPeakAndDropsTheLowestOfEqualRows) {
    PartialTable table = FullTable();
    table.tailAmplitude[7] = 1.0;
    table.tailAmplitude[15] = 1.0;
    table.partialsValid = 0;
    table.AddPeak(3000.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    EXPECT_EQ(table.frequency[24], 2500.0);
    EXPECT_EQ(table.partialsValid, 1) << "a refused peak of a full table still sets the flag";

    table.AddPeak(3000.0, 0.0, 2.0, 0.0, 0.0, NoPartial);
    EXPECT_EQ(table.frequency[7], 900.0) << "800 Hz (row 7) leaves before 1600 Hz";
    EXPECT_EQ(table.frequency[14], 1600.0);
    EXPECT_EQ(table.frequency[24], 3000.0);
}

TEST(PartialTableTest, HasPeakInIncludesLowerBoundOnly) {
    PartialTable table;
    table.AddPeak(500.0, 0.0, 1.0, 0.0, 0.0, NoPartial);
    EXPECT_TRUE(table.HasPeakIn(500.0, 500.5));
    EXPECT_FALSE(table.HasPeakIn(499.5, 500.0));
    EXPECT_FALSE(table.HasPeakIn(0.0, 0.5)) << "rows not in use (frequency 0) do not count";
}

}  // namespace
