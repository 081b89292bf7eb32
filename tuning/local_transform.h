#pragma once
#include <complex>
#include <cstdint>
#include <vector>

// The Hann-windowed transform of one recording, X(f) = sum w[n] x[n]
// exp(-i 2 pi f n / rate), evaluated at any frequency near a chosen centre.
//
// Centre(hz) mixes the samples down to the centre once (O(N)) and keeps, for
// every block of kBlock samples, four moments of the windowed samples; At(f)
// is then a Taylor sum over the blocks, O(N / kBlock),
// within 1e-5 of the exact value for f within 20 Hz of the centre and within
// 2e-3 up to 50 Hz. Plain C++; one object per thread.
// cos(2 pi (n + 0.5) / count) for n = 0 ... count - 1, by a turning phasor
// set afresh every 4096 values (within 1e-12 of the library's cosine).
std::vector<double> WindowCosines(std::int32_t count);

// The samples times the periodic Hann window over all of them,
// w[n] = 0.5 - 0.5 cos(2 pi (n + 0.5) / count): its transform has no bias
// at a peak and sidelobes that fall by 18 dB an octave, so far partials do
// not pull a near one.
std::vector<double> HannWindowed(const std::int16_t* samples, std::int32_t count);
// The same with the window's cosines (WindowCosines of the samples' count) at hand.
std::vector<double> HannWindowed(const std::int16_t* samples, const std::vector<double>& cosines);

class LocalTransform {
public:
    static constexpr int kBlock = 128;

    // Takes the Hann-windowed samples (HannWindowed) taken at `rateHz`.
    LocalTransform(std::vector<double> windowed, double rateHz);

    void Centre(double hz);
    double CentreHz() const { return centreHz; }

    // X(hz); meaningful only near the centre.
    std::complex<double> At(double hz) const;
    double Magnitude(double hz) const { return std::abs(At(hz)); }

    // The frequency of the largest |X| in [lo, hi] (Hz, near the centre),
    // found by golden section to better than 1e-7 Hz. The caller makes sure
    // only one peak lies in the interval.
    double PeakIn(double lo, double hi) const;
    // The frequency of the smallest |X| in [lo, hi], likewise.
    double DipIn(double lo, double hi) const;

    int Blocks() const { return static_cast<int>(moments[0].size()); }
    std::int32_t Length() const { return static_cast<std::int32_t>(windowed.size()); }
    double RateHz() const { return rateHz; }

private:
    std::vector<double> windowed;  // w[n] x[n]
    double rateHz;
    double centreHz = 0.0;
    // Per block: sum of k^j w x e^{-i w0 n} (j = 0..3, k the index in the block).
    std::vector<std::complex<double>> moments[4];

    double ExtremumIn(double lo, double hi, double sign) const;
};
