#include "tuning/partial_decay.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Point {
    double t;                   // s
    std::complex<double> value;  // smoothed envelope
};

struct Fit {
    double slope = 0.0;       // of ln |envelope|, 1/s
    double slopeError = 0.0;  // its standard error
    double residual = 0.0;    // mean |envelope - model|^2
    bool valid = false;
};

// Weighted line through ln|value| (weights |value|^2, the inverse variance of
// a log level under additive noise), then the complex amplitude of the decay
// by least squares and what it leaves unexplained.
Fit FitDecay(const std::vector<Point>& points) {
    Fit fit;
    const double n = static_cast<double>(points.size());
    if (points.size() < 4) return fit;
    double sw = 0, st = 0, sy = 0;
    for (const Point& p : points) {
        const double w = std::norm(p.value);
        sw += w;
        st += w * p.t;
        sy += w * std::log(std::abs(p.value));
    }
    if (!(sw > 0.0)) return fit;
    const double tMean = st / sw, yMean = sy / sw;
    double stt = 0, sty = 0;
    for (const Point& p : points) {
        const double w = std::norm(p.value);
        stt += w * (p.t - tMean) * (p.t - tMean);
        sty += w * (p.t - tMean) * (std::log(std::abs(p.value)) - yMean);
    }
    if (!(stt > 0.0)) return fit;
    fit.slope = sty / stt;
    std::complex<double> cross;
    double energy = 0.0;
    for (const Point& p : points) {
        const double model = std::exp(fit.slope * p.t);
        cross += p.value * model;
        energy += model * model;
    }
    const std::complex<double> amplitude = cross / energy;
    double residual = 0.0, logResidual = 0.0;
    for (const Point& p : points) {
        const double model = std::exp(fit.slope * p.t);
        residual += std::norm(p.value - amplitude * model);
        const double e = std::log(std::abs(p.value)) - yMean - fit.slope * (p.t - tMean);
        logResidual += std::norm(p.value) * e * e;
    }
    fit.residual = residual / std::max(1.0, n - 3.0);
    fit.slopeError = std::sqrt(logResidual / std::max(1.0, n - 2.0) / stt);
    fit.valid = true;
    return fit;
}

}  // namespace

PartialDecay MeasureDecay(const std::vector<std::complex<double>>& envelope, int blockSamples,
                          double blockRateHz, double smoothingSeconds) {
    PartialDecay decay;
    const int blocks = static_cast<int>(envelope.size());
    decay.amplitude.assign(envelope.size(), 0.0);
    const int width = std::clamp(static_cast<int>(smoothingSeconds * blockRateHz), 3, std::max(3, blocks / 4));
    if (blocks < 2 * width) return decay;
    std::vector<double> kernel(static_cast<std::size_t>(width));
    double kernelSum = 0.0, kernelSquares = 0.0;
    for (int k = 0; k < width; ++k) {
        kernel[k] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (k + 0.5) / width);
        kernelSum += kernel[k];
    }
    for (double& k : kernel) {
        k /= kernelSum;
        kernelSquares += k * k;
    }
    // Smoothed envelope at every block where the kernel fits; the edges take
    // their nearest value so the amplitude covers the whole recording.
    std::vector<std::complex<double>> smooth(envelope.size());
    for (int b = 0; b + width <= blocks; ++b) {
        std::complex<double> sum;
        for (int k = 0; k < width; ++k) sum += kernel[k] * envelope[b + k];
        smooth[b + width / 2] = sum;
    }
    const int first = width / 2, last = blocks - width + width / 2;
    for (int b = 0; b < blocks; ++b) {
        const std::complex<double> v = smooth[std::clamp(b, first, last)];
        decay.amplitude[b] = 2.0 * std::abs(v) / blockSamples;
    }
    // Points half a kernel apart, from the loudest on.
    int loudest = first;
    for (int b = first; b <= last; ++b) {
        if (std::abs(smooth[b]) > std::abs(smooth[loudest])) loudest = b;
    }
    std::vector<Point> points;
    for (int b = loudest; b <= last; b += std::max(1, width / 2)) {
        points.push_back({(b + 0.5) / blockRateHz, smooth[b]});
    }
    Fit fit = FitDecay(points);
    if (!fit.valid) return decay;
    decay.noiseVariance = fit.residual / (blockSamples * kernelSquares);
    // Again over the points well above what the first fit left unexplained.
    const double floor = 100.0 * fit.residual;
    std::erase_if(points, [floor](const Point& p) { return std::norm(p.value) < floor; });
    fit = FitDecay(points);
    if (fit.valid && fit.slope < 0.0 && fit.slopeError < -fit.slope / 3.0) {
        decay.t60Seconds = std::log(1000.0) / -fit.slope;
    }
    return decay;
}
