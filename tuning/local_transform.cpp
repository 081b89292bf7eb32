#include "tuning/local_transform.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

LocalTransform::LocalTransform(const std::int16_t* source, std::int32_t count, double rate)
    : samples(source, source + (count > 0 ? count : 0)), window(samples.size()), rateHz(rate) {
    // The periodic Hann window over the whole recording: its transform has
    // no bias at a peak and sidelobes that fall by 18 dB an octave, so far
    // partials do not pull a near one.
    const double n = static_cast<double>(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        window[i] = 0.5 - 0.5 * std::cos(kTwoPi * (static_cast<double>(i) + 0.5) / n);
        windowEnergy += window[i] * window[i];
    }
}

void LocalTransform::Centre(double hz) {
    centreHz = hz;
    const std::size_t blocks = (samples.size() + kBlock - 1) / kBlock;
    for (auto& m : moments) m.assign(blocks, {});
    plain.assign(blocks, {});
    const double omega = kTwoPi * hz / rateHz;
    const std::complex<double> step = std::polar(1.0, -omega);
    for (std::size_t b = 0; b < blocks; ++b) {
        // A fresh phasor per block keeps the recurrence's rounding bounded.
        std::complex<double> phasor = std::polar(1.0, -omega * static_cast<double>(b * kBlock));
        std::complex<double> m0, m1, m2, m3, p;
        const std::size_t end = std::min(samples.size(), (b + 1) * kBlock);
        for (std::size_t i = b * kBlock; i < end; ++i) {
            const double k = static_cast<double>(i - b * kBlock);
            const std::complex<double> y = samples[i] * phasor;
            const std::complex<double> wy = window[i] * y;
            p += y;
            m0 += wy;
            m1 += k * wy;
            m2 += (k * k) * wy;
            m3 += (k * k * k) * wy;
            phasor *= step;
        }
        moments[0][b] = m0;
        moments[1][b] = m1;
        moments[2][b] = m2;
        moments[3][b] = m3;
        plain[b] = p;
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
    for (std::size_t b = 0; b < plain.size(); ++b) {
        sum += rotation * (moments[0][b] + c1 * moments[1][b] + c2 * moments[2][b] + c3 * moments[3][b]);
        rotation *= step;
    }
    return sum;
}

double LocalTransform::PeakIn(double lo, double hi) const {
    const double ratio = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = lo, b = hi;
    double x1 = b - ratio * (b - a), x2 = a + ratio * (b - a);
    double f1 = std::norm(At(x1)), f2 = std::norm(At(x2));
    while (b - a > 1e-7) {
        if (f1 < f2) {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + ratio * (b - a);
            f2 = std::norm(At(x2));
        } else {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - ratio * (b - a);
            f1 = std::norm(At(x1));
        }
    }
    return (a + b) / 2.0;
}

std::vector<std::complex<double>> LocalTransform::Envelope(double hz) const {
    // Within a block the offset from the centre turns the phase by well under
    // a hundredth of a radian, so each block sum only needs turning as a whole.
    const double theta = kTwoPi * (hz - centreHz) / rateHz;
    const std::complex<double> step = std::polar(1.0, -theta * kBlock);
    std::complex<double> rotation = 1.0;
    std::vector<std::complex<double>> envelope(plain.size());
    for (std::size_t b = 0; b < plain.size(); ++b) {
        envelope[b] = rotation * plain[b];
        rotation *= step;
    }
    return envelope;
}

double LocalTransform::WindowAt(int block) const {
    const std::size_t middle = std::min(samples.size() - 1, static_cast<std::size_t>(block) * kBlock + kBlock / 2);
    return window[middle];
}
