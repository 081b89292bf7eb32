#pragma once
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "analysis/spectrum_analyser.h"

// X[k] = sum over m of x[m] e^(sign 2 pi i m k / n) for every k of `bins`, in long double; x padded with zeros.
inline std::vector<std::complex<long double>> Dft(const std::vector<std::complex<double>>& x, std::int64_t n,
                                                  const std::vector<std::int64_t>& bins, int sign) {
    std::vector<std::complex<long double>> turn(n), out;  // turn[r] = e^(sign 2 pi i r / n)
    for (std::int64_t r = 0; r < n; ++r) turn[r] = std::polar(1.0L, sign * 2 * std::numbers::pi_v<long double> * r / n);
    for (const std::int64_t k : bins) {
        std::complex<long double> sum = 0;
        for (std::int64_t m = 0; m < std::ssize(x); ++m) sum += std::complex<long double>(x[m]) * turn[m * k % n];
        out.push_back(sum);
    }
    return out;
}

// Every stride-th point a prepared job should give for `sound`: interpolation, Hamming window, Dft, scale.
inline std::vector<double> SlowSpectrum(const TransformJob& job, const std::vector<std::int16_t>& sound, int stride) {
    const std::int32_t m = job.pointCount;
    auto sample = [&](std::int64_t k) { k += job.firstSample; return k < std::ssize(sound) ? sound[k] : 0.0; };
    std::vector<std::complex<double>> x(m);
    for (std::int32_t i = 0; i < m; ++i) {
        const double t = i * job.resampleStep, window = 0.54 - 0.46 * std::cos(2 * std::numbers::pi * i / m);
        const auto k = static_cast<std::int64_t>(t);
        x[i] = (sample(k) + (sample(k + 1) - sample(k)) * (t - k)) * window;
    }
    std::vector<std::int64_t> bins;
    const auto firstBin = static_cast<std::int64_t>(job.startFrequency / job.interval);
    for (std::int32_t j = 0; j <= job.steps; j += stride) bins.push_back(firstBin + j);
    std::vector<double> out;
    for (const auto& v : Dft(x, job.transformSize, bins, +1)) out.push_back(double(std::abs(v)) / (m * 0.54 * 64));
    return out;
}

// Smoothing point by point with weights (half - k)^2 x unit, the mean of the `half` outermost points outside.
inline std::vector<double> SlowSmooth(const std::vector<double>& s, std::int32_t half, double unit) {
    const auto steps = static_cast<std::int32_t>(s.size()) - 1;
    auto g = [&](std::int32_t k) { return static_cast<double>(half - k) * (half - k) * unit; };
    double low = 0.0, high = 0.0;
    for (std::int32_t k = 0; k < half; ++k) low += s[k];
    for (std::int32_t k = steps - half + 1; k <= steps; ++k) high += s[k];
    std::vector<double> out(s.size());
    for (std::int32_t j = 0; j <= steps; ++j) {
        out[j] = s[j] * g(0);
        for (std::int32_t k = 1; k < half; ++k) {
            out[j] += ((j - k >= 0 ? s[j - k] : low / half) + (j + k <= steps ? s[j + k] : high / half)) * g(k);
        }
    }
    return out;
}
