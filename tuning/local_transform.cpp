#include "tuning/local_transform.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

std::vector<double> WindowCosines(std::int32_t count) {
    std::vector<double> cosines(static_cast<std::size_t>(std::max(count, 0)));
    const double step = kTwoPi / count;
    const std::complex<double> turn = std::polar(1.0, step);
    std::complex<double> phasor;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i % 4096 == 0) phasor = std::polar(1.0, step * (i + 0.5));
        cosines[static_cast<std::size_t>(i)] = phasor.real();
        phasor *= turn;
    }
    return cosines;
}

std::vector<double> HannWindowed(const std::int16_t* samples, std::int32_t count) {
    return HannWindowed(samples, WindowCosines(count));
}

std::vector<double> HannWindowed(const std::int16_t* samples, const std::vector<double>& cosines) {
    std::vector<double> windowed(cosines.size());
    for (std::size_t i = 0; i < windowed.size(); ++i) windowed[i] = (0.5 - 0.5 * cosines[i]) * samples[i];
    return windowed;
}

LocalTransform::LocalTransform(std::vector<double> hannWindowed, double rate)
    : windowed(std::move(hannWindowed)), rateHz(rate) {}

void LocalTransform::Centre(double hz) {
    centreHz = hz;
    const std::size_t blocks = (windowed.size() + kBlock - 1) / kBlock;
    for (auto& m : moments) m.assign(blocks, {});
    const double omega = kTwoPi * hz / rateHz;
    // Every block turns by the same phases within it, so its sums are its
    // start's phasor times sums against one table of k^j e^(-i omega k):
    // real multiply-adds the compiler can vectorise.
    double re[4][kBlock], im[4][kBlock];
    for (int k = 0; k < kBlock; ++k) {
        const std::complex<double> t = std::polar(1.0, -omega * k);
        double power = 1.0;
        for (int j = 0; j < 4; ++j, power *= k) {
            re[j][k] = power * t.real();
            im[j][k] = power * t.imag();
        }
    }
    for (std::size_t b = 0; b < blocks; ++b) {
        const double* x = windowed.data() + b * kBlock;
        const int count = static_cast<int>(std::min<std::size_t>(kBlock, windowed.size() - b * kBlock));
        double r0 = 0, i0 = 0, r1 = 0, i1 = 0, r2 = 0, i2 = 0, r3 = 0, i3 = 0;
        // The order of these sums does not matter to their accuracy: let
        // them run at the machine's width.
#pragma omp simd reduction(+ : r0, i0, r1, i1, r2, i2, r3, i3)
        for (int k = 0; k < count; ++k) {
            const double v = x[k];
            r0 += re[0][k] * v;
            i0 += im[0][k] * v;
            r1 += re[1][k] * v;
            i1 += im[1][k] * v;
            r2 += re[2][k] * v;
            i2 += im[2][k] * v;
            r3 += re[3][k] * v;
            i3 += im[3][k] * v;
        }
        const double sumRe[4] = {r0, r1, r2, r3}, sumIm[4] = {i0, i1, i2, i3};
        const std::complex<double> start = std::polar(1.0, -omega * static_cast<double>(b * kBlock));
        for (int j = 0; j < 4; ++j) {
            moments[j][b] = start * std::complex<double>(sumRe[j], sumIm[j]);
        }
    }
}

std::complex<double> LocalTransform::At(double hz) const {
    const double theta = kTwoPi * (hz - centreHz) / rateHz;
    // exp(-i theta k) to third order in theta k.
    const std::complex<double> c1(0.0, -theta);
    const std::complex<double> c2 = c1 * c1 / 2.0;
    const std::complex<double> c3 = c2 * c1 / 3.0;
    const std::complex<double> step = std::polar(1.0, -theta * kBlock);
    std::complex<double> rotation = 1.0;
    std::complex<double> sum;
    for (std::size_t b = 0; b < moments[0].size(); ++b) {
        sum += rotation * (moments[0][b] + c1 * moments[1][b] + c2 * moments[2][b] + c3 * moments[3][b]);
        rotation *= step;
    }
    return sum;
}

double LocalTransform::PeakIn(double lo, double hi) const {
    return ExtremumIn(lo, hi, 1.0);
}

double LocalTransform::DipIn(double lo, double hi) const {
    return ExtremumIn(lo, hi, -1.0);
}

double LocalTransform::ExtremumIn(double lo, double hi, double sign) const {
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = lo, b = hi;
    double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
    double f1 = sign * std::norm(At(x1)), f2 = sign * std::norm(At(x2));
    // Golden section to 1e-5 Hz, then one parabola through the best three
    // points: |X|^2 is a parabola there to far better than 1e-7 Hz.
    while (b - a > 1e-5) {
        if (f1 < f2) {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + ratio * (b - a);
            f2 = sign * std::norm(At(x2));
        } else {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - ratio * (b - a);
            f1 = sign * std::norm(At(x1));
        }
    }
    const double middle = f1 >= f2 ? x1 : x2, h = (b - a) / 2.0;
    const double left = sign * std::norm(At(middle - h)), centre = std::max(f1, f2),
                 right = sign * std::norm(At(middle + h));
    const double bend = left - 2.0 * centre + right;
    if (!(bend < 0.0)) return middle;
    return middle + std::clamp(0.5 * h * (left - right) / bend, -h, h);
}
