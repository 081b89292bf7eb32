#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "analysis/fft.h"
#include "tests/analysis/reference.h"

namespace {

using LongComplex = std::complex<long double>;

// X[k] = sum x[m] e^(sign 2 pi i m k / n) in long double, twiddles reduced
// mod n; the products are written out (std::complex's own checks every
// product for infinities, which makes the 2^12 cases slow under sanitizers).
std::vector<LongComplex> Dft(const std::vector<LongComplex>& x, int sign) {
    const auto n = x.size();
    const long double pi = 3.141592653589793238462643383279502884L;
    std::vector<long double> cosines(n), sines(n);
    for (std::size_t r = 0; r < n; ++r) {
        cosines[r] = std::cos(2 * pi * r / n);
        sines[r] = sign * std::sin(2 * pi * r / n);
    }
    std::vector<LongComplex> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        long double re = 0, im = 0;
        std::size_t r = 0;  // m k mod n
        for (std::size_t m = 0; m < n; ++m) {
            re += x[m].real() * cosines[r] - x[m].imag() * sines[r];
            im += x[m].real() * sines[r] + x[m].imag() * cosines[r];
            r += k;
            if (r >= n) r -= n;
        }
        out[k] = {re, im};
    }
    return out;
}

struct Transform {
    std::vector<double> table;
    std::atomic<std::int32_t> passes{0};
    std::atomic<std::uint8_t> cancel{0};
    explicit Transform(std::int32_t tableCount) : table(2 * std::max(tableCount, 1)) {
        FillTwiddles(table.data(), std::max(tableCount, 1));
    }
};

TEST(Fft, ComplexTransformMatchesLongDoubleDft) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    // The direction only flips the table's sines, so -1 needs no 2^12 case.
    for (int sign : {+1, -1}) {
        for (std::int32_t n = 1, log = 0; n <= (sign > 0 ? 4096 : 1024); n *= 2, ++log) {
            std::vector<double> data(2 * n);
            std::vector<LongComplex> x(n);
            for (std::int32_t m = 0; m < n; ++m) {
                data[2 * m] = value(random);
                data[2 * m + 1] = value(random);
                x[m] = {data[2 * m], data[2 * m + 1]};
            }
            Transform t(n / 2);
            ComplexFft(data.data(), n, sign, t.passes, t.cancel, t.table.data());
            const auto expected = Dft(x, sign);
            EXPECT_EQ(t.passes.load(), log);
            for (std::int32_t k = 0; k < n; ++k) {
                ASSERT_NEAR(data[2 * k], static_cast<double>(expected[k].real()), 1e-14 * n) << n << " " << k;
                ASSERT_NEAR(data[2 * k + 1], static_cast<double>(expected[k].imag()), 1e-14 * n) << n << " " << k;
            }
        }
    }
}

TEST(Fft, RealTransformMatchesLongDoubleDftInEveryBin) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (std::int32_t n = 2, log = 1; n <= 4096; n *= 2, ++log) {
        const int sign = log % 2 == 0 ? -1 : +1;
        std::vector<double> data(n);
        std::vector<LongComplex> x(n);
        for (std::int32_t m = 0; m < n; ++m) x[m] = data[m] = value(random);
        Transform t(n / 2);
        RealFft(data.data(), n, sign, t.passes, t.cancel, t.table.data());
        const auto expected = Dft(x, sign);
        EXPECT_EQ(t.passes.load(), log);
        EXPECT_NEAR(data[0], static_cast<double>(expected[0].real()), 1e-14 * n);
        EXPECT_NEAR(data[1], static_cast<double>(expected[n / 2].real()), 1e-14 * n);
        for (std::int32_t k = 1; k < n / 2; ++k) {
            ASSERT_NEAR(data[2 * k], static_cast<double>(expected[k].real()), 1e-14 * n) << n << " " << k;
            ASSERT_NEAR(data[2 * k + 1], static_cast<double>(expected[k].imag()), 1e-14 * n) << n << " " << k;
        }
        for (std::int32_t k = 0; k < n; ++k) {
            ASSERT_NEAR(RealFftMagnitude(data.data(), n, k), static_cast<double>(std::abs(expected[k])), 1e-14 * n);
        }
    }
}

TEST(Fft, ImpulseDcAndOnBinCosineGiveTheirKnownSpectra) {
    const std::int32_t n = 1024;
    Transform t(n / 2);
    std::vector<double> impulse(n, 0.0), dc(n, 1.0), cosine(n);
    impulse[3] = 1.0;
    for (std::int32_t m = 0; m < n; ++m) cosine[m] = std::cos(2 * M_PI * 37 * m / n);
    for (auto* data : {&impulse, &dc, &cosine}) RealFft(data->data(), n, +1, t.passes, t.cancel, t.table.data());
    for (std::int32_t k = 0; k < n; ++k) {
        EXPECT_NEAR(RealFftMagnitude(impulse.data(), n, k), 1.0, 1e-13);
        EXPECT_EQ(RealFftMagnitude(dc.data(), n, k), k == 0 ? n : 0.0);  // sums of equal values stay exact
        EXPECT_NEAR(RealFftMagnitude(cosine.data(), n, k), k == 37 || k == n - 37 ? n / 2.0 : 0.0, 1e-10);
    }
}

TEST(Fft, CancelBeforeTheFirstPassStillCompletesTheBitReversal) {
    const std::int32_t n = 8;
    Transform t(n / 2);
    t.cancel = 1;
    std::vector<double> data(2 * n);
    for (std::int32_t k = 0; k < n; ++k) data[2 * k] = k;
    ComplexFft(data.data(), n, +1, t.passes, t.cancel, t.table.data());
    EXPECT_EQ(t.passes.load(), 0);
    const double reversed[] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (std::int32_t k = 0; k < n; ++k) EXPECT_EQ(data[2 * k], reversed[k]);

    std::vector<double> real(n, 1.0);
    RealFft(real.data(), n, +1, t.passes, t.cancel, t.table.data());
    EXPECT_EQ(t.passes.load(), 0);  // the split pass is cancelled too
}

TEST(Fft, LiteralReferenceMatchesTheDftItself) {
    // The yardstick of the engine tests must be right on its own.
    std::vector<double> data(2 * 64);
    std::vector<LongComplex> x(64);
    for (int m = 0; m < 64; ++m) x[m] = data[2 * m] = std::sin(m * 0.3) + 0.1 * m;
    std::int32_t passes = 0;
    LiteralComplexFft(data, 64, +1, passes);
    const auto expected = Dft(x, +1);
    EXPECT_EQ(passes, 6);
    for (int k = 0; k < 64; ++k) EXPECT_NEAR(data[2 * k + 1], static_cast<double>(expected[k].imag()), 1e-11);
}

}  // namespace
