#pragma once
#include <complex>
#include <cstdint>
#include <vector>

// The Hann-windowed transform of one recording, X(f) = sum w[n] x[n]
// exp(-i 2 pi f n / rate), evaluated at any frequency near a chosen centre,
// together with the recording's complex envelope at that centre.
//
// Centre(hz) mixes the samples down to the centre once (O(N)) and keeps, for
// every block of kBlock samples, four moments of the windowed samples and the
// plain sum; At(f) is then a Taylor sum over the blocks, O(N / kBlock),
// within 1e-5 of the exact value for f within 20 Hz of the centre and within
// 2e-3 up to 50 Hz. Plain C++; one object per thread.
class LocalTransform {
public:
    static constexpr int kBlock = 128;

    // Copies `count` samples (any scale) taken at `rateHz`.
    LocalTransform(const std::int16_t* samples, std::int32_t count, double rateHz);

    void Centre(double hz);
    double CentreHz() const { return centreHz; }

    // X(hz); meaningful only near the centre.
    std::complex<double> At(double hz) const;
    double Magnitude(double hz) const { return std::abs(At(hz)); }

    // The frequency of the largest |X| in [lo, hi] (Hz, near the centre),
    // found by golden section to better than 1e-7 Hz. The caller makes sure
    // only one peak lies in the interval.
    double PeakIn(double lo, double hi) const;

    // Block sums of the samples mixed down to `hz` (near the centre), one per
    // block: the recording's complex envelope at that frequency, sampled
    // every kBlock samples and averaged over each block.
    std::vector<std::complex<double>> Envelope(double hz) const;

    // The Hann window's value at the middle of block b, and sum w^2 over all
    // samples.
    double WindowAt(int block) const;
    double WindowEnergy() const { return windowEnergy; }

    int Blocks() const { return static_cast<int>(plain.size()); }
    std::int32_t Length() const { return static_cast<std::int32_t>(samples.size()); }
    double RateHz() const { return rateHz; }

private:
    std::vector<double> samples;
    std::vector<double> window;
    double rateHz;
    double centreHz = 0.0;
    double windowEnergy = 0.0;
    // Per block: sum of k^j w x e^{-i w0 n} (j = 0..3, k the index in the
    // block) and the plain sum of x e^{-i w0 n}.
    std::vector<std::complex<double>> moments[4];
    std::vector<std::complex<double>> plain;
};
