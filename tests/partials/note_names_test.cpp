#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "partials/partial_table.h"

namespace {

TEST(NoteNameTest, NamesOctavesDeviationsAndOutOfRangeFrequencies) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double hz;
        const char* text;
    } cases[] = {
        {32.7031956625748, "C(-2) +0"}, {65.40639, "C(-1) +0"}, {123.4708, "B(-1) +0"},
        {127.0, "B(-1) +48"},           {128.0, "C(0) -37"},    {130.8128, "C(0) +0"},
        {254.3, "C(1) -49"},            {261.6256, "C(1) +0"},  {440.0, "A(1) +0"},
        {430.0, "A(1) -39"},            {450.0, "A(1) +38"},    {466.16, "Bb(1) +0"},
        {369.9944227116344, "F#(1) +0"}, {500.0, "B(1) +21"},   {1000.0, "B(2) +21"},
        {std::numeric_limits<double>::max(), "C(1017) -37"},
        {32.7, " "}, {0.0, " "}, {-440.0, " "}, {inf, " "}, {-inf, " "},
        {std::numeric_limits<double>::quiet_NaN(), " "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NoteName(c.hz), c.text) << c.hz;
    }
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        const std::string text = NoteName(430.0);
        std::setlocale(LC_ALL, "C");
        EXPECT_EQ(text, "A(1) -39") << "under a German locale";
    }
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
    EXPECT_EQ(table.cents[3], 315.6);
    EXPECT_EQ(table.cents[4], 701.9);
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
