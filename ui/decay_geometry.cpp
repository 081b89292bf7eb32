#include "ui/decay_geometry.h"

#include <algorithm>
#include <cmath>

#include "tuning/decay_curves.h"

DecayAxes FitDecayAxes(const std::vector<const DecayCurve*>& curves) {
    DecayAxes axes;
    double loudest = -1e300, floorDb = 1e300, last = 0.0;
    for (const DecayCurve* c : curves) {
        if (c == nullptr || c->levelsDb.empty()) continue;
        loudest = std::max(loudest, *std::max_element(c->levelsDb.begin(), c->levelsDb.end()));
        floorDb = std::min(floorDb, c->noiseDb);
        last = std::max(last, c->timesSeconds.back());
    }
    if (loudest < -1e299) return axes;
    axes.toSeconds = last > 0.0 ? last : 1.0;
    axes.topDb = 10.0 * std::ceil(loudest / 10.0);
    const double bottom = 10.0 * std::floor((floorDb - 10.0) / 10.0);
    axes.bottomDb = std::clamp(bottom, axes.topDb - 100.0, axes.topDb - 40.0);
    return axes;
}

double SecondsX(double seconds, const DecayAxes& axes, double left, double width) {
    return left + (seconds - axes.fromSeconds) * width / (axes.toSeconds - axes.fromSeconds);
}

double DbY(double db, const DecayAxes& axes, double top, double height) {
    return top + (axes.topDb - db) * height / (axes.topDb - axes.bottomDb);
}

std::vector<double> RoundTicks(double from, double to, int maxTicks) {
    std::vector<double> ticks;
    if (!(to > from)) return ticks;
    maxTicks = std::max(2, maxTicks);
    double step = std::pow(10.0, std::floor(std::log10((to - from) / maxTicks)));
    for (int i = 0; std::floor(to / step) - std::ceil(from / step) + 1 > maxTicks && i < 60; ++i) {
        step *= (i % 3 == 1) ? 2.5 : 2.0;  // 1, 2, 5, 10, 20, 50 ...
    }
    for (double k = std::ceil(from / step); k * step <= to + 1e-9 * step; k += 1.0) ticks.push_back(k * step + 0.0);
    return ticks;
}

int TickDecimals(const std::vector<double>& ticks) {
    if (ticks.size() < 2) return 0;
    const double step = ticks[1] - ticks[0];
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}
