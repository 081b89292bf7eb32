#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "analysis/fft.h"

namespace {

// X[k] = sum x[m] e^(sign 2 pi i m k / n) in long double on interleaved
// values, with the twiddle index m k reduced mod n.
std::vector<long double> Dft(const std::vector<double>& x, int sign) {
    const std::size_t n = x.size() / 2;
    const long double pi = 3.141592653589793238462643383279502884L;
    std::vector<long double> cosines(n), sines(n), out(2 * n);
    for (std::size_t r = 0; r < n; ++r) {
        cosines[r] = std::cos(2 * pi * r / n);
        sines[r] = sign * std::sin(2 * pi * r / n);
    }
    for (std::size_t k = 0; k < n; ++k) {
        for (std::size_t m = 0, r = 0; m < n; ++m, r = r + k >= n ? r + k - n : r + k) {
            out[2 * k] += x[2 * m] * cosines[r] - x[2 * m + 1] * sines[r];
            out[2 * k + 1] += x[2 * m] * sines[r] + x[2 * m + 1] * cosines[r];
        }
    }
    return out;
}

struct Transform {
    std::vector<double> table;
    std::atomic<std::int32_t> passes{0};
    std::atomic<std::uint8_t> cancel{0};
    explicit Transform(std::int32_t count) : table(2 * count) { FillTwiddles(table.data(), count); }
};

// Random values in [-1, 1) at the even positions, and at the odd ones too
// when `complex` (otherwise a real signal: the DFT input with zero imaginary parts).
std::vector<double> RandomSignal(std::int32_t n, bool complex, std::mt19937& random) {
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<double> x(2 * n, 0.0);
    for (std::int32_t i = 0; i < 2 * n; ++i) x[i] = i % 2 == 0 || complex ? value(random) : 0.0;
    return x;
}

TEST(Fft, ComplexAndRealTransformsMatchALongDoubleDftUpTo4096Points) {
    std::mt19937 random(7);
    for (std::int32_t n = 2, log = 1; n <= 4096; n *= 2, ++log) {
        const int sign = log % 2 == 0 ? -1 : +1;  // both directions, alternately
        std::vector<double> complex = RandomSignal(n, true, random);
        const std::vector<long double> expected = Dft(complex, sign);
        Transform c(n / 2);
        ComplexFft(complex.data(), n, sign, c.passes, c.cancel, c.table.data());
        EXPECT_EQ(c.passes.load(), log);
        for (std::int32_t i = 0; i < 2 * n; ++i) ASSERT_NEAR(complex[i], expected[i], 1e-14 * n) << n << " " << i;

        const std::vector<double> signal = RandomSignal(n, false, random);
        const std::vector<long double> spectrum = Dft(signal, sign);
        std::vector<double> real(n);
        for (std::int32_t m = 0; m < n; ++m) real[m] = signal[2 * m];
        Transform r(n / 2);
        RealFft(real.data(), n, sign, r.passes, r.cancel, r.table.data());
        EXPECT_EQ(r.passes.load(), log);
        EXPECT_NEAR(real[0], spectrum[0], 1e-14 * n);
        EXPECT_NEAR(real[1], spectrum[n], 1e-14 * n);  // X[n/2], packed beside X[0]
        for (std::int32_t i = 2; i < n; ++i) ASSERT_NEAR(real[i], spectrum[i], 1e-14 * n) << n << " " << i;
        for (std::int32_t k = 0; k < n; ++k) {
            ASSERT_NEAR(RealFftMagnitude(real.data(), n, k), std::hypot(spectrum[2 * k], spectrum[2 * k + 1]), 1e-14 * n);
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
    Transform t(4);
    t.cancel = 1;
    std::vector<double> data(16, 0.0);
    for (int k = 0; k < 8; ++k) data[2 * k] = k;
    ComplexFft(data.data(), 8, +1, t.passes, t.cancel, t.table.data());
    const double reversed[] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(data[2 * k], reversed[k]);
    RealFft(data.data(), 8, +1, t.passes, t.cancel, t.table.data());  // the split pass is cancelled too
    EXPECT_EQ(t.passes.load(), 0);
}

}  // namespace
