#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "dice/fairness.h"

namespace treva {
namespace {

// Critical values of the chi-square distribution from the NIST/SEMATECH
// e-Handbook of Statistical Methods, section 1.3.6.7.4 (upper-tail critical
// values): the p-value at each is the tail it is tabled for.
TEST(Fairness, PValuesAgreeWithPublishedCriticalValues) {
    struct Row {
        int degrees;
        double critical;
        double tail;
    };
    const Row table[] = {
        {5, 11.070, 0.05},  {5, 15.086, 0.01},   {5, 20.515, 0.001}, {10, 18.307, 0.05},
        {10, 23.209, 0.01}, {10, 29.588, 0.001}, {10, 3.940, 0.95},  {5, 1.145, 0.95},
    };
    for (const Row &r : table)
        EXPECT_NEAR(chiSquarePValue(r.critical, r.degrees), r.tail, r.tail * 0.002) << r.degrees << " " << r.critical;
    // With two degrees of freedom the tail is exp(-x/2) exactly.
    EXPECT_NEAR(chiSquarePValue(7.0, 2), std::exp(-3.5), 1e-12);
    EXPECT_EQ(chiSquarePValue(0.0, 10), 1.0);
}

// The fair-die example of Wikipedia's "Pearson's chi-squared test" article:
// 60 throws giving 5, 8, 9, 8, 10 and 20 make a statistic of 13.4 with five
// degrees of freedom, p about 0.02.
TEST(Fairness, StatisticOfAKnownDie) {
    DieRollStats stats{};
    const int counts[] = {5, 8, 9, 8, 10, 20};
    for (int i = 0; i < 6; ++i) stats.oneDieCounts[i] = counts[i];
    const FairnessCheck f = oneDieFairness(stats);
    ASSERT_TRUE(f.ready);
    EXPECT_NEAR(f.statistic, 13.4, 1e-9);
    EXPECT_EQ(f.degrees, 5);
    EXPECT_NEAR(f.pValue, 0.0199, 0.0005);
    EXPECT_EQ(f.text, "Chi-square 13.40, 5 degrees of freedom: unusual (p = 0.02).");
}

TEST(Fairness, TwoDiceRolledExactlyAsExpectedAreFair) {
    DieRollStats stats{};
    for (int r = 2; r <= 12; ++r) stats.twoDiceCounts[r - 2] = 5 * (6 - std::abs(r - 7)); // 180 rolls
    const FairnessCheck f = twoDiceFairness(stats);
    ASSERT_TRUE(f.ready);
    EXPECT_EQ(f.statistic, 0.0);
    EXPECT_EQ(f.degrees, 10);
    EXPECT_EQ(f.expected[5], 30.0); // a 7 in 180 rolls
    EXPECT_EQ(f.text, "Chi-square 0.00, 10 degrees of freedom: as fair dice would roll (p = 1).");
}

// A test needs every face expected at least five times: 180 DR (a 2 comes up
// once in 36) and 30 dr.
TEST(Fairness, ThresholdOfFiveExpectedPerFace) {
    DieRollStats stats{};
    stats.twoDiceCounts[5] = 179;
    EXPECT_FALSE(twoDiceFairness(stats).ready);
    EXPECT_EQ(twoDiceFairness(stats).text, "Roll at least 1 more times for a fairness check.");
    stats.twoDiceCounts[5] = 180;
    EXPECT_TRUE(twoDiceFairness(stats).ready);
    EXPECT_EQ(oneDieFairness(stats).moreRollsNeeded, 30);
    stats.oneDieCounts[0] = 30; // all ones
    const FairnessCheck ones = oneDieFairness(stats);
    ASSERT_TRUE(ones.ready);
    EXPECT_EQ(ones.text, "Chi-square 150.00, 5 degrees of freedom: very unlikely for fair dice (p < 0.001).");
}

TEST(Fairness, VerdictWords) {
    EXPECT_EQ(fairnessVerdict(0.5), "as fair dice would roll (p = 0.5)");
    EXPECT_EQ(fairnessVerdict(0.05), "as fair dice would roll (p = 0.05)");
    EXPECT_EQ(fairnessVerdict(0.049), "unusual (p = 0.049)");
    EXPECT_EQ(fairnessVerdict(0.0012), "unusual (p = 0.0012)");
    EXPECT_EQ(fairnessVerdict(0.0009), "very unlikely for fair dice (p < 0.001)");
    // Printed so that it never reads as a limit it did not reach.
    EXPECT_EQ(fairnessVerdict(0.0499), "unusual (p = 0.049)");
    EXPECT_EQ(fairnessVerdict(0.04999999), "unusual (p = 0.049)");
    EXPECT_EQ(fairnessVerdict(0.0199), "unusual (p = 0.02)");
    EXPECT_EQ(fairnessVerdict(0.03), "unusual (p = 0.03)");
}

} // namespace
} // namespace treva
