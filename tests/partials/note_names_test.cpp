#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "partials/partial_table.h"

namespace {

TEST(NoteNameTest, NamesNotesAcrossOctaveBoundaries) {
    EXPECT_EQ(NoteName(32.7031956625748), "C(-2) +0");
    EXPECT_EQ(NoteName(65.40639), "C(-1) +0");
    EXPECT_EQ(NoteName(123.4708), "B(-1) +0");
    EXPECT_EQ(NoteName(127.0), "B(-1) +48");
    EXPECT_EQ(NoteName(128.0), "C(0) -37") << "rounds up into the next octave";
    EXPECT_EQ(NoteName(130.8128), "C(0) +0");
    EXPECT_EQ(NoteName(254.3), "C(1) -49");
    EXPECT_EQ(NoteName(261.6256), "C(1) +0");
}

TEST(NoteNameTest, DeviationSignsAndNoteSpelling) {
    EXPECT_EQ(NoteName(440.0), "A(1) +0");
    EXPECT_EQ(NoteName(430.0), "A(1) -39");
    EXPECT_EQ(NoteName(450.0), "A(1) +38");
    EXPECT_EQ(NoteName(466.16), "Bb(1) +0");
    EXPECT_EQ(NoteName(500.0), "B(1) +21");
    EXPECT_EQ(NoteName(1000.0), "B(2) +21");
    EXPECT_EQ(NoteName(440.0 * std::pow(2.0, -3.0 / 12.0)), "F#(1) +0");
}

TEST(NoteNameTest, BelowReferenceOrNotFiniteGivesASpace) {
    EXPECT_EQ(NoteName(32.7), " ");
    EXPECT_EQ(NoteName(0.0), " ");
    EXPECT_EQ(NoteName(-440.0), " ");
    EXPECT_EQ(NoteName(std::numeric_limits<double>::infinity()), " ");
    EXPECT_EQ(NoteName(std::numeric_limits<double>::quiet_NaN()), " ");
    EXPECT_EQ(NoteName(std::numeric_limits<double>::max()), "C(1017) -37");
}

TEST(NoteNameTest, TextDoesNotFollowTheUserLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 not installed";
    }
    const std::string text = NoteName(430.0);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "A(1) -39");
}

PartialTable TableAt500(std::initializer_list<double> frequencies) {
    PartialTable table;
    for (double f : frequencies) {
        table.AddPeak(f, 0.0, 1.0, 0.0, 0.0, NoPartial);
    }
    table.nominal = 500.0;
    return table;
}

TEST(CentsTest, CentsFromTheNominalTruncateTowardZero) {
    PartialTable table = TableAt500({300.0, 500.0 * (1.0 - 1e-12), 500.0, 600.0, 750.0});
    table.cents[24] = 7.0;
    table.UpdateCentsAndNotes();
    EXPECT_EQ(table.cents[0], -884.3);
    EXPECT_EQ(table.cents[1], 0.0);
    EXPECT_FALSE(std::signbit(table.cents[1])) << "a hair below the nominal is +0.0";
    EXPECT_EQ(table.cents[2], 0.0);
    EXPECT_EQ(table.cents[3], 315.6);
    EXPECT_EQ(table.cents[4], 701.9);
    EXPECT_EQ(table.note[3], NoteName(600.0));
    EXPECT_EQ(table.cents[24], 0.0) << "rows not in use get 0";
    EXPECT_EQ(table.note[24], " ");
}

TEST(CentsTest, NoUsableNominalLeavesCentsAndNotesAlone) {
    for (double nominal : {0.0, -500.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()}) {
        PartialTable table = TableAt500({600.0});
        table.nominal = nominal;
        table.cents[0] = 12.3;
        table.note[24] = std::string(1, 'x');  // (a literal trips a GCC 12 false -Wrestrict)
        table.UpdateCentsAndNotes();
        EXPECT_EQ(table.cents[0], 12.3) << nominal;
        EXPECT_EQ(table.note[24], "x") << nominal;
    }
}

}  // namespace
