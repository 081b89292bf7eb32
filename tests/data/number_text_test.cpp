#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "data/number_text.h"

namespace {

TEST(NumberText, FixedSixDecimalsLikePercentLf) {
    EXPECT_EQ(FormatFixed6(0.0), "0.000000");
    EXPECT_EQ(FormatFixed6(523.25), "523.250000");
    EXPECT_EQ(FormatFixed6(-1.0000005), "-1.000001");
    EXPECT_EQ(FormatFixed6(1e20), "100000000000000000000.000000");
}

TEST(NumberText, FifteenDigitsInTheShorterNotation) {
    EXPECT_EQ(FormatDouble15(0.0), "0");
    EXPECT_EQ(FormatDouble15(0.5), "0.5");
    EXPECT_EQ(FormatDouble15(5000.0), "5000");
    EXPECT_EQ(FormatDouble15(0.00001), "1e-05");
    EXPECT_EQ(FormatDouble15(0.0001), "0.0001");
    EXPECT_EQ(FormatDouble15(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatDouble15(1234567890123456.0), "1.23456789012346e+15");
    EXPECT_EQ(FormatDouble15(1.0 / 3.0), "0.333333333333333");
}

TEST(NumberText, ScanningStopsAfterTheNumberLikePercentLf) {
    const struct {
        const char* text;
        double value;
        std::size_t end;
    } cases[] = {{"  12.5,3", 12.5, 6}, {"-1e3x", -1000.0, 4}, {"+.5", 0.5, 3}};
    for (const auto& c : cases) {
        std::size_t pos = 0;
        double v = 0.0;
        ASSERT_TRUE(ScanDouble(c.text, pos, v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(pos, c.end) << c.text;
    }
}

TEST(NumberText, NonFiniteAndNonNumbersAreRefused) {
    for (const char* text : {"", "   ", "abc", ",1", "nan", "-inf", "INF", "infinity", "1e400", "-1e999"}) {
        std::size_t pos = 0;
        double v = 7.0;
        EXPECT_FALSE(ScanDouble(text, pos, v)) << text;
        EXPECT_EQ(v, 7.0) << text;
        EXPECT_EQ(pos, 0u) << text;
    }
    double v = 0.0;
    EXPECT_TRUE(ParseWholeDouble(" 0.95 ", v));
    EXPECT_EQ(v, 0.95);
    EXPECT_FALSE(ParseWholeDouble("0.95 and words", v));
    EXPECT_TRUE(ParseWholeDouble("1e-400", v));  // underflow reads as scanf reads it
    EXPECT_EQ(v, 0.0);
}

TEST(NumberText, TheUserLocaleChangesNothing) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "de_DE.UTF-8 not generated";
    double v = 0.0;
    EXPECT_TRUE(ParseWholeDouble("1.5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_EQ(FormatFixed6(1.5), "1.500000");
    EXPECT_EQ(FormatDouble15(1.5), "1.5");
    std::setlocale(LC_ALL, "C");
}

}  // namespace
