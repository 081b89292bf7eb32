#include "tests/analysis/reference.h"

#include <cmath>
#include <utility>

void LiteralComplexFft(std::vector<double>& data, std::int32_t n, int sign, std::int32_t& passes) {
    auto d = [&data](std::int32_t position) -> double& { return data[position - 1]; };
    const std::int32_t nn = 2 * n;
    std::int32_t j = 1;
    for (std::int32_t i = 1; i < nn; i += 2) {
        if (j > i) {
            std::swap(d(j), d(i));
            std::swap(d(j + 1), d(i + 1));
        }
        std::int32_t m = n;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
    for (std::int32_t mmax = 2; nn > mmax; mmax *= 2) {
        const std::int32_t istep = 2 * mmax;
        const double theta = sign * (6.283185307179586 / mmax);
        double wtemp = std::sin(theta / 2);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (std::int32_t m = 1; m < mmax; m += 2) {
            for (std::int32_t i = m; i <= nn; i += istep) {
                const std::int32_t k = i + mmax;
                const double tempr = wr * d(k) - wi * d(k + 1);
                const double tempi = wr * d(k + 1) + wi * d(k);
                d(k) = d(i) - tempr;
                d(k + 1) = d(i + 1) - tempi;
                d(i) += tempr;
                d(i + 1) += tempi;
            }
            wtemp = wr;
            wr = wtemp * wpr - wi * wpi + wtemp;
            wi = wi * wpr + wtemp * wpi + wi;
        }
        ++passes;
    }
}

std::vector<double> LiteralSpectrum(const AnalysisRequest& request, const std::vector<std::int16_t>& samples) {
    const double e = request.sampleRate / request.interval;
    std::int32_t n = 1;
    while (n < e) n *= 2;
    const double step = e / n;
    auto m = static_cast<std::int32_t>((request.lastSample - request.firstSample) / step);
    if (m > n) m = n;
    auto s = [&](std::int64_t k) {
        const std::int64_t index = request.firstSample + k;
        return index < static_cast<std::int64_t>(samples.size()) ? static_cast<double>(samples[index]) : 0.0;
    };
    std::vector<double> buffer(2 * static_cast<std::size_t>(n), 0.0);
    const double w = 0.54;
    const double c = std::cos(2.0 * M_PI / m);
    double w1 = w + (w - 1) * c;
    double w2 = 1 + 2 * (w - 1) * c * c;
    for (std::int32_t i = 0; i < m; ++i) {
        const double x = i * step;
        const auto k = static_cast<std::int64_t>(x);
        const double value = s(k) + (s(k + 1) - s(k)) * (x - k);
        const double window = 2 * c * w1 - w2 + 2 * w * (1 - c);
        w2 = w1;
        w1 = window;
        buffer[2 * i] = value * window;
    }
    std::int32_t passes = 0;
    LiteralComplexFft(buffer, n, +1, passes);
    const auto b0 = static_cast<std::int32_t>(request.startFrequency / request.interval);
    const double scale = 1.0 / (m * w * 64.0);
    std::vector<double> out(request.steps + 1);
    for (std::int32_t j = 0; j <= request.steps; ++j) {
        const double re = buffer[2 * (b0 + j)];
        const double im = buffer[2 * (b0 + j) + 1];
        out[j] = scale * std::sqrt(re * re + im * im);
    }
    return out;
}

std::vector<double> LiteralSmooth(const std::vector<double>& spectrum, std::int32_t half, double unit) {
    const auto steps = static_cast<std::int32_t>(spectrum.size()) - 1;
    std::vector<double> g(half + 1);
    for (std::int32_t k = 0; k <= half; ++k) g[k] = static_cast<double>(half - k) * (half - k) * unit;
    double low = 0.0;
    double high = 0.0;
    for (std::int32_t k = 0; k < half; ++k) low += spectrum[k];
    for (std::int32_t k = steps - half + 1; k <= steps; ++k) high += spectrum[k];
    low /= half;
    high /= half;
    std::vector<double> out(spectrum.size());
    for (std::int32_t j = 0; j <= steps; ++j) {
        out[j] = spectrum[j] * g[0];
        for (std::int32_t k = 1; k < half; ++k) {
            const double left = j - k >= 0 ? spectrum[j - k] : low;
            const double right = j + k <= steps ? spectrum[j + k] : high;
            out[j] = out[j] + (left + right) * g[k];
        }
    }
    return out;
}

std::vector<std::int16_t> BellSamples(std::int32_t count) {
    const double partials[][2] = {{261.3, 3000}, {523.7, 6000}, {627.9, 4000}, {786.1, 2500}, {1046.0, 8000},
                                  {1566.2, 1500}, {2093.5, 1200}, {3511.0, 500}};
    std::vector<std::int16_t> out(count);
    std::uint32_t noise = 12345;
    for (std::int32_t i = 0; i < count; ++i) {
        double v = 0.0;
        for (const auto& p : partials) v += p[1] * std::exp(-i / 60000.0) * std::sin(2 * M_PI * p[0] * i / 44100.0);
        noise = noise * 1664525u + 1013904223u;
        v += static_cast<double>(noise >> 24) - 128.0;
        out[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(v));
    }
    return out;
}

AnalysisRequest MakeRequest(double interval, double startHz, std::int32_t steps, std::int32_t lastSample) {
    AnalysisRequest request;
    request.interval = interval;
    request.startFrequency = startHz;
    request.endFrequency = startHz + steps * interval;
    request.steps = steps;
    request.firstSample = 0;
    request.lastSample = lastSample;
    request.sampleRate = 44100;
    request.recordLength = lastSample;
    return request;
}
