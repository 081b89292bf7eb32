#pragma once
#include <cmath>
#include <complex>
#include <utility>
#include <cstdint>
#include <vector>

// A partial's complex envelope: the recording mixed down to the partial's
// frequency and low-passed by a band of +-bandHz around it, sampled every
// 1 / rateHz seconds from the first sample. For a partial A e^(-t/tau)
// cos(...) a value is (A/2) e^(-t/tau) e^(i phase).
struct PartialEnvelope {
    std::vector<std::complex<double>> values;
    double rateHz = 0.0;
    // Variance of each value under white noise of variance 1 per sample
    // (multiply by the noise's variance).
    double unitNoiseVariance = 0.0;
    // Independent values a second: the band's noise width, at most rateHz.
    double independentRateHz = 0.0;
    // The filter smears the recording's abrupt start and end over about
    // this long; values closer to either are not to be trusted.
    double settleSeconds = 0.0;
    // Values that lie within the recording (the rest covers the padding).
    std::int32_t usable = 0;
};

// Three transforms of one recording. Two zero-padded to a power of two P at
// least half a second longer than it: Hann-windowed (the peak-finding
// spectrum: the exact windowed transform on a grid of rate / P, finer than
// the resolution rate / N), unwindowed (for envelopes: any band around any
// frequency is low-passed exactly, so neither a neighbour nor a DC offset
// can fold into it); and the largest power of two of samples with a 7-term
// Blackman-Harris window (sidelobes near -180 dB, so that what lies between
// partials is noise, not leakage). Plain C++, any thread; about 1 ms per transform for 2 s at 44100 Hz.
class RecordingSpectra {
public:
    // `count` samples (>= 1024) at `rateHz`.
    RecordingSpectra(const std::int16_t* samples, std::int32_t count, double rateHz);

    // The samples times the Hann window (HannWindowed), handed on to a
    // LocalTransform; empty afterwards.
    std::vector<double> TakeHannWindowed() { return std::move(hannWindowed); }

    double BinHz() const { return rateHz / static_cast<double>(points); }
    std::int32_t Bins() const { return points / 2; }
    double ResolutionHz() const { return rateHz / static_cast<double>(length); }

    // |X(bin x BinHz())|^2 and |X| of the Hann-windowed recording, 0 <= bin <= Bins().
    double HannPower(std::int32_t bin) const { return hannPower[static_cast<std::size_t>(bin)]; }
    double HannMagnitude(std::int32_t bin) const { return std::sqrt(HannPower(bin)); }
    // sum of w^2 of the Hann window: the transform's noise power per unit
    // noise variance.
    double HannEnergy() const { return hannEnergy; }

    // The variance per sample of the white noise around `hz`: from the median
    // power of the Blackman-Harris transform over +-max(25 Hz, 5 %) around
    // it, leaving out every bin within `exclusionHz` of `peaksHz` (the
    // partials and peaks known). Never below the quantisation noise of 16-bit
    // samples (1/12).
    double NoiseVariance(double hz, const std::vector<double>& peaksHz, double exclusionHz) const;

    // How many times louder than at the recording's end the noise is at
    // `seconds` from its start: 1 except in the strike's transient (the first
    // quarter second is looked at, in stretches of 1024 samples).
    double NoiseFactorAt(double seconds) const;

    // The envelope of the partial at `hz`, in a band of +-bandHz (flat to
    // half of it, then a raised cosine to zero).
    PartialEnvelope Envelope(double hz, double bandHz) const;

private:
    double rateHz;
    std::int32_t length;  // N samples analysed
    std::int32_t points;  // P
    std::int32_t quietPoints = 0;  // samples (a power of two) of the Blackman-Harris transform
    std::vector<double> hannWindowed;                // w[n] x[n]
    std::vector<double> hannPower;                   // |X|^2 per bin
    std::vector<double> quietPower;                  // Blackman-Harris |X|^2 per bin
    std::vector<double> plain;  // the unwindowed transform, packed as RealFft leaves it
    std::vector<double> twiddles;
    std::vector<double> noiseFactor;  // per half stretch of 1024 samples from the start
    double hannEnergy = 0.0;
    double quietEnergy = 0.0;
};
