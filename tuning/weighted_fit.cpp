#include "tuning/weighted_fit.h"

#include <array>
#include <cmath>

WeightedLine FitLine(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w) {
    WeightedLine line;
    double sw = 0.0, st = 0.0, sy = 0.0;
    int used = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!(w[i] > 0.0)) continue;
        sw += w[i];
        st += w[i] * t[i];
        sy += w[i] * y[i];
        ++used;
    }
    if (used < 3 || !(sw > 0.0)) return line;
    line.tMean = st / sw;
    line.weightSum = sw;
    const double yMean = sy / sw;
    double stt = 0.0, sty = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (!(w[i] > 0.0)) continue;
        const double d = t[i] - line.tMean;
        stt += w[i] * d * d;
        sty += w[i] * d * (y[i] - yMean);
    }
    if (!(stt > 0.0)) return line;
    line.spread = stt;
    line.slope = sty / stt;
    line.intercept = yMean;
    line.valid = true;
    return line;
}

double SlowMeanSquare(const std::vector<double>& t, const std::vector<double>& r, const std::vector<double>& w) {
    if (t.size() < 5) return 0.0;
    // Basis 1, u, u^2, u^3 on u scaled to [-1, 1]; normal equations solved by
    // Gaussian elimination (4 x 4, well conditioned on that scale).
    double lo = t.front(), hi = t.front();
    for (double v : t) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (!(hi > lo)) return 0.0;
    std::array<std::array<double, 5>, 4> m{};
    double sw = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double u = 2.0 * (t[i] - lo) / (hi - lo) - 1.0;
        const double basis[4] = {1.0, u, u * u, u * u * u};
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b) m[a][b] += w[i] * basis[a] * basis[b];
            m[a][4] += w[i] * basis[a] * r[i];
        }
        sw += w[i];
    }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int a = c + 1; a < 4; ++a) {
            if (std::abs(m[a][c]) > std::abs(m[pivot][c])) pivot = a;
        }
        std::swap(m[c], m[pivot]);
        if (!(std::abs(m[c][c]) > 1e-300)) return 0.0;
        for (int a = 0; a < 4; ++a) {
            if (a == c) continue;
            const double f = m[a][c] / m[c][c];
            for (int b = c; b < 5; ++b) m[a][b] -= f * m[c][b];
        }
    }
    double coefficient[4];
    for (int c = 0; c < 4; ++c) coefficient[c] = m[c][4] / m[c][c];
    double square = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double u = 2.0 * (t[i] - lo) / (hi - lo) - 1.0;
        const double p = coefficient[0] + u * (coefficient[1] + u * (coefficient[2] + u * coefficient[3]));
        square += w[i] * p * p;
    }
    return sw > 0.0 ? square / sw : 0.0;
}
