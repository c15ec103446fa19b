// Are the dice fair? A chi-square goodness-of-fit test of the die statistics
// against fair dice, and the counts fair dice would give.
#pragma once

#include <string>
#include <vector>

#include "dice/dice.h"

namespace treva {

// The upper tail of the chi-square distribution with `degrees` degrees of
// freedom: the chance that fair dice give a statistic of at least `x`.
double chiSquarePValue(double x, int degrees);

// Sum over the faces of (count - expected)^2 / expected.
double chiSquareStatistic(const std::vector<double> &counts, const std::vector<double> &expected);

// A test is made once every face has an expected count of at least this.
inline constexpr double kLeastExpectedCount = 5.0;

struct FairnessCheck {
    std::vector<double> expected; // by face: 2..12 for a DR, 1..6 for a dr
    bool ready = false;           // enough rolls for a test
    long long moreRollsNeeded = 0;
    double statistic = 0;
    int degrees = 0;
    double pValue = 1;
    // "Roll at least N more times for a fairness check." before the test,
    // else the statistic, p and the verdict in plain words.
    std::string text;
};

FairnessCheck twoDiceFairness(const DieRollStats &stats);
FairnessCheck oneDieFairness(const DieRollStats &stats);

// "as fair dice would roll (p = 0.42)", "unusual (p = 0.03)", "very unlikely
// for fair dice (p < 0.001)".
std::string fairnessVerdict(double pValue);

} // namespace treva
