#include "tuning/recording_spectra.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>

#include "analysis/fft.h"
#include "tuning/local_transform.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Albrecht's 7-term Blackman-Harris window: sidelobes about 180 dB down,
// below anything 16-bit samples can hold, with a main lobe of +-7 bins.
constexpr double kQuietTerms[7] = {0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803,
                                   0.01081174209837, 0.00077658482522, 0.00001388721735};

std::int32_t PointsFor(std::int32_t count, double rateHz) {
    // Half a second of zeros past the end keeps an envelope filter's smear
    // of the end from wrapping onto the start.
    const double wanted = count + 0.5 * rateHz;
    std::int32_t p = 1024;
    while (p < wanted) p *= 2;
    return p;
}

// The real transform of the first `n` values of `buffer` in place; bin k
// at 2k, 2k + 1.
void Transform(std::vector<double>& buffer, std::int32_t n, const std::vector<double>& twiddles) {
    std::atomic<std::int32_t> passes{0};
    const std::atomic<std::uint8_t> cancel{0};
    RealFft(buffer.data(), n, -1, passes, cancel, twiddles.data());
}

std::complex<double> Bin(const std::vector<double>& buffer, std::int32_t n, std::size_t k) {
    if (k == 0) return buffer[0];
    if (k == static_cast<std::size_t>(n / 2)) return buffer[1];
    return {buffer[2 * k], buffer[2 * k + 1]};
}

double Median(std::vector<double>& values);

// The median power over the whole band of the Hann-windowed stretch of 1024
// samples at `start`: between the partials, the noise's level there.
// `window` holds the 1024 values of the window, `buffer` room for as many.
double StretchNoise(const std::int16_t* samples, std::int32_t start, const std::vector<double>& window,
                    std::vector<double>& buffer, const std::vector<double>& twiddles) {
    const auto n = static_cast<std::int32_t>(window.size());
    for (std::int32_t i = 0; i < n; ++i) buffer[static_cast<std::size_t>(i)] = window[static_cast<std::size_t>(i)] * samples[start + i];
    Transform(buffer, n, twiddles);
    std::vector<double> power(static_cast<std::size_t>(n / 2 - 1));
    for (std::size_t k = 1; k < static_cast<std::size_t>(n / 2); ++k) power[k - 1] = std::norm(Bin(buffer, n, k));
    return Median(power);
}

double Median(std::vector<double>& values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

}  // namespace

RecordingSpectra::RecordingSpectra(const std::int16_t* samples, std::int32_t count, double rate)
    : rateHz(rate), length(count), points(PointsFor(count, rate)) {
    twiddles.resize(static_cast<std::size_t>(points));
    FillTwiddles(twiddles.data(), points / 2);
    const std::size_t bins = static_cast<std::size_t>(points / 2) + 1;
    plain.resize(static_cast<std::size_t>(points));

    // The same periodic Hann window as the precise peak search, so that the
    // grid holds exact values of the transform it maximises. Over whole
    // periods the cosine sums to 0 and its square to N / 2: sum w^2 = 3N/8.
    hannWindowed = ::HannWindowed(samples, count);
    hannEnergy = 0.375 * count;
    std::copy(hannWindowed.begin(), hannWindowed.end(), plain.begin());
    std::fill(plain.begin() + count, plain.end(), 0.0);
    Transform(plain, points, twiddles);
    hannPower.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) hannPower[k] = std::norm(Bin(plain, points, k));

    // The noise needs no fine grid: the largest power of two of samples will
    // do, at half the cost when the recording is a little longer than that.
    quietPoints = 1024;
    while (2 * quietPoints <= count) quietPoints *= 2;
    const std::vector<double> quietCosine = WindowCosines(quietPoints);
    for (std::int32_t i = 0; i < quietPoints; ++i) {
        // cos(j x) by the Chebyshev recurrence from cos x.
        const double c = quietCosine[static_cast<std::size_t>(i)];
        double previous = 1.0, current = c, w = kQuietTerms[0] - kQuietTerms[1] * c;
        for (int j = 2; j < 7; ++j) {
            const double next = 2.0 * c * current - previous;
            previous = current;
            current = next;
            w += (j % 2 == 0 ? kQuietTerms[j] : -kQuietTerms[j]) * current;
        }
        plain[static_cast<std::size_t>(i)] = w * samples[i];
        quietEnergy += w * w;
    }
    Transform(plain, quietPoints, twiddles);
    quietPower.resize(static_cast<std::size_t>(quietPoints / 2) + 1);
    for (std::size_t k = 0; k < quietPower.size(); ++k) quietPower[k] = std::norm(Bin(plain, quietPoints, k));

    // The noise of the first quarter second against that of the last stretch.
    const std::int32_t stretches = std::min<std::int32_t>(static_cast<std::int32_t>(rateHz / 2048.0), count / 512 - 4);
    if (stretches > 0) {
        std::vector<double> window(1024), stretch(1024);
        for (std::size_t i = 0; i < window.size(); ++i) window[i] = 0.5 - 0.5 * std::cos(kTwoPi * (i + 0.5) / 1024.0);
        const double reference = std::max(1e-30, StretchNoise(samples, count - 1024, window, stretch, twiddles));
        for (std::int32_t j = 0; j < stretches; ++j) {
            noiseFactor.push_back(std::max(1.0, StretchNoise(samples, 512 * j, window, stretch, twiddles) / reference));
        }
    }

    // Last, so that its result stays where it was made.
    std::copy(samples, samples + count, plain.begin());
    std::fill(plain.begin() + count, plain.end(), 0.0);
    Transform(plain, points, twiddles);
}

double RecordingSpectra::NoiseVariance(double hz, const std::vector<double>& peaksHz, double exclusionHz) const {
    const double reach = std::max(25.0, 0.05 * hz);
    const double binHz = rateHz / quietPoints;
    const auto first = static_cast<std::int32_t>(std::max(1.0, (hz - reach) / binHz));
    const auto last = static_cast<std::int32_t>(std::min<double>(quietPoints / 2 - 1, (hz + reach) / binHz));
    std::vector<double> power;
    for (std::int32_t k = first; k <= last; ++k) {
        const double f = k * binHz;
        const bool nearPeak = std::any_of(peaksHz.begin(), peaksHz.end(),
                                          [&](double p) { return std::abs(f - p) < exclusionHz; });
        if (!nearPeak) power.push_back(quietPower[static_cast<std::size_t>(k)]);
    }
    constexpr double kQuantisation = 1.0 / 12.0;
    if (power.size() < 8) return kQuantisation;
    // |X|^2 of noise is exponential: its median is ln 2 times its mean.
    const double mean = Median(power) / std::numbers::ln2;
    return std::max(kQuantisation, mean / quietEnergy);
}

double RecordingSpectra::NoiseFactorAt(double seconds) const {
    // Stretch j covers 512 j ... 512 j + 1024 samples; the nearest centre counts.
    const double j = seconds * rateHz / 512.0 - 1.0;
    if (noiseFactor.empty() || !(j < noiseFactor.size() - 0.5)) return 1.0;
    return noiseFactor[static_cast<std::size_t>(std::max(0.0, j + 0.5))];
}

PartialEnvelope RecordingSpectra::Envelope(double hz, double bandHz) const {
    PartialEnvelope envelope;
    const double binHz = BinHz();
    const auto centre = static_cast<std::int32_t>(hz / binHz + 0.5);
    const auto reach = static_cast<std::int32_t>(bandHz / binHz) + 1;
    std::int32_t m = 16;
    while (m < 4 * reach) m *= 2;
    std::vector<double> buffer(2 * static_cast<std::size_t>(m), 0.0);
    double gainSquares = 0.0;
    for (std::int32_t j = -reach; j <= reach; ++j) {
        const std::int32_t k = centre + j;
        if (k < 1 || k >= Bins()) continue;
        const double offset = std::abs(k * binHz - hz);
        const double gain = offset <= bandHz / 2.0 ? 1.0
                            : offset >= bandHz    ? 0.0
                                                  : 0.5 + 0.5 * std::cos(std::numbers::pi * (offset / bandHz * 2.0 - 1.0));
        const std::complex<double> v = gain * Bin(plain, points, static_cast<std::size_t>(k));
        const std::size_t slot = static_cast<std::size_t>((j + m) % m);
        buffer[2 * slot] = v.real();
        buffer[2 * slot + 1] = v.imag();
        gainSquares += gain * gain;
    }
    std::vector<double> table(static_cast<std::size_t>(std::max(2, m)), 0.0);
    FillTwiddles(table.data(), std::max(1, m / 2));
    std::atomic<std::int32_t> passes{0};
    const std::atomic<std::uint8_t> cancel{0};
    ComplexFft(buffer.data(), m, +1, passes, cancel, table.data());

    const double step = static_cast<double>(points) / m;  // samples per value
    const double p = static_cast<double>(points);
    envelope.rateHz = rateHz / step;
    // The bins were taken around the nearest bin, not `hz`: turn back the rest.
    const double turn = -kTwoPi * (hz - centre * binHz) * step / rateHz;
    envelope.values.resize(static_cast<std::size_t>(m));
    for (std::int32_t i = 0; i < m; ++i) {
        const std::complex<double> v(buffer[2 * i], buffer[2 * i + 1]);
        envelope.values[i] = v * std::polar(1.0 / p, turn * i);
    }
    envelope.unitNoiseVariance = static_cast<double>(length) * gainSquares / (p * p);
    envelope.independentRateHz = std::min(envelope.rateHz, gainSquares * binHz);
    envelope.settleSeconds = 1.5 / bandHz;
    envelope.usable = static_cast<std::int32_t>(std::min<double>(m, std::ceil(length / step)));
    return envelope;
}
