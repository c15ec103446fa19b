#include "dice/fairness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace treva {
namespace {

// The regularised lower incomplete gamma function P(a, x) by its series,
// good where x < a + 1.
double lowerGammaSeries(double a, double x) {
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < 1000; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * 1e-15) break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// The regularised upper incomplete gamma function Q(a, x) by its continued
// fraction (modified Lentz), good where x >= a + 1.
double upperGammaFraction(double a, double x) {
    constexpr double kTiny = 1e-300;
    double b = x + 1.0 - a;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < 1000; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = b + an / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < 1e-15) break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

FairnessCheck check(const int32_t *counts, const std::vector<double> &chances) {
    FairnessCheck f;
    long long rolls = 0;
    for (std::size_t i = 0; i < chances.size(); ++i) rolls += counts[i];
    double least = chances[0];
    for (const double p : chances) least = std::min(least, p);
    // Enough rolls that the least likely face is expected kLeastExpectedCount times.
    const long long needed = static_cast<long long>(std::ceil(kLeastExpectedCount / least - 1e-9));
    std::vector<double> observed;
    for (std::size_t i = 0; i < chances.size(); ++i) {
        f.expected.push_back(chances[i] * double(rolls));
        observed.push_back(counts[i]);
    }
    f.degrees = int(chances.size()) - 1;
    if (rolls < needed) {
        f.moreRollsNeeded = needed - rolls;
        f.text = "Roll at least " + std::to_string(f.moreRollsNeeded) + " more times for a fairness check.";
        return f;
    }
    f.ready = true;
    f.statistic = chiSquareStatistic(observed, f.expected);
    f.pValue = chiSquarePValue(f.statistic, f.degrees);
    char text[160];
    std::snprintf(text, sizeof text, "Chi-square %.2f, %d degrees of freedom: %s.", f.statistic, f.degrees,
                  fairnessVerdict(f.pValue).c_str());
    f.text = text;
    return f;
}

} // namespace

double chiSquarePValue(double x, int degrees) {
    if (degrees <= 0) return 1.0;
    if (!(x > 0)) return 1.0; // also NaN
    const double a = degrees / 2.0;
    const double half = x / 2.0;
    return half < a + 1.0 ? 1.0 - lowerGammaSeries(a, half) : upperGammaFraction(a, half);
}

double chiSquareStatistic(const std::vector<double> &counts, const std::vector<double> &expected) {
    double sum = 0;
    for (std::size_t i = 0; i < counts.size() && i < expected.size(); ++i)
        if (expected[i] > 0) sum += (counts[i] - expected[i]) * (counts[i] - expected[i]) / expected[i];
    return sum;
}

std::string fairnessVerdict(double p) {
    if (p < 0.001) return "very unlikely for fair dice (p < 0.001)";
    char text[64];
    char number[16]; // two significant digits: 0.5, 0.049, 0.0012
    std::snprintf(number, sizeof number, "%.2g", p);
    // An unusual p never reads as the limit it did not reach: 0.0499 is
    // "0.049", not "0.05".
    if (p < 0.05 && std::strtod(number, nullptr) >= 0.05) std::snprintf(number, sizeof number, "0.049");
    std::snprintf(text, sizeof text, p >= 0.05 ? "as fair dice would roll (p = %s)" : "unusual (p = %s)", number);
    return text;
}

FairnessCheck twoDiceFairness(const DieRollStats &stats) {
    std::vector<double> chances;
    for (int r = 2; r <= 12; ++r) chances.push_back((6 - std::abs(r - 7)) / 36.0);
    return check(stats.twoDiceCounts, chances);
}

FairnessCheck oneDieFairness(const DieRollStats &stats) {
    return check(stats.oneDieCounts, std::vector<double>(6, 1.0 / 6.0));
}

} // namespace treva
