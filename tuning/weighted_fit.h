#pragma once
#include <vector>

// Weighted least squares on short series (a partial's level or phase over
// time). Plain C++, any thread.

// y = intercept + slope t, with t measured from the weighted mean time.
struct WeightedLine {
    bool valid = false;  // at least 3 points with positive weight and spread in t
    double tMean = 0.0;
    double intercept = 0.0;  // at tMean
    double slope = 0.0;
    double weightSum = 0.0;
    double spread = 0.0;  // sum w (t - tMean)^2
    double At(double t) const { return intercept + slope * (t - tMean); }
};

WeightedLine FitLine(const std::vector<double>& t, const std::vector<double>& y, const std::vector<double>& w);

// The weighted mean square of the part of `r` (residuals of a line through
// the same points) that a quadratic and a cubic in t explain: the slow bend
// and the slow beat a line leaves, without the fast wiggles of noise or of a
// resolved companion. 0 when there are fewer than 5 points.
double SlowMeanSquare(const std::vector<double>& t, const std::vector<double>& r, const std::vector<double>& w);
