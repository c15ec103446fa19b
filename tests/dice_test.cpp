#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <set>

#include "dice/dice.h"

namespace treva {
namespace {

// A seed gives the same draws on every machine and in every version, and each
// die is its draw modulo the faces, without rejection.
TEST(Dice, KnownSequenceFromSeedOne) {
    uint32_t g = 12345;
    seedGenerator(g, 1);
    EXPECT_EQ(drawRandom(g), 41);
    EXPECT_EQ(drawRandom(g), 18467);
    EXPECT_EQ(drawRandom(g), 6334);

    DieRollStats stats{};
    seedGenerator(g, 1);
    EXPECT_EQ(rollDice(g, stats, 3, 6), 6 + 6 + 5);
    seedGenerator(g, 1);
    EXPECT_EQ(rollDice(g, stats, 2, 20), 2 + 8);
}

// A die roll statistic counts one die as a dr of 1..6 and two dice as a DR of
// 2..12; any other roll, or a result outside those ranges, is not counted.
TEST(Dice, StatisticsCountOnlyDrAndDR) {
    uint32_t g = 99;
    DieRollStats stats{}, want{};
    for (int i = 0; i < 3000; ++i) {
        for (int faces : {6, 20}) {
            if (const int dr = rollDice(g, stats, 1, faces); dr <= 6) {
                ++want.oneDieCounts[dr - 1];
                ++want.oneDieRolls;
                want.oneDieSum += dr;
            }
            if (const int DR = rollDice(g, stats, 2, faces); DR <= 12) {
                ++want.twoDiceCounts[DR - 2];
                ++want.twoDiceRolls;
                want.twoDiceSum += DR;
            }
        }
        rollDice(g, stats, 3, 6);
    }
    EXPECT_EQ(std::memcmp(&stats, &want, sizeof stats), 0);
    EXPECT_GT(want.oneDieCounts[5], 0) << "the rolls reached the top results";
    EXPECT_GT(want.twoDiceCounts[10], 0);
}

// A roll is counted whole or not at all: a full counter leaves the counts
// adding up to the rolls and their sum, and the throw says it was not counted.
TEST(Dice, AFullCounterLeavesTheRollUncounted) {
    uint32_t g = 0; // its first DR is 7
    DieRollStats stats{};
    stats.twoDiceCounts[5] = INT32_MAX - 1;
    stats.twoDiceRolls = INT32_MAX - 1;
    stats.twoDiceSum = INT32_MAX - 7;
    const Throw first = throwDice(g, stats, 2, 6);
    ASSERT_EQ(first.sum, 7);
    EXPECT_TRUE(first.counted) << "reaching the largest value is no overflow";
    EXPECT_EQ(stats.twoDiceRolls, INT32_MAX);
    EXPECT_EQ(stats.twoDiceSum, INT32_MAX);
    const DieRollStats full = stats;
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(throwDice(g, stats, 2, 6).counted);
    EXPECT_EQ(std::memcmp(&stats, &full, sizeof stats), 0) << "no counter moved";

    stats.oneDieSum = INT32_MAX - 3; // room for a 1, 2 or 3 only
    for (int i = 0; i < 30; ++i) {
        const int32_t before = stats.oneDieSum;
        const Throw t = throwDice(g, stats, 1, 6);
        EXPECT_EQ(t.counted, t.sum <= INT32_MAX - before);
        EXPECT_EQ(stats.oneDieSum, t.counted ? before + t.sum : before);
    }
}

TEST(Dice, EntropySeedVariesFromCallToCall) {
    std::set<uint32_t> seeds;
    for (int i = 0; i < 8; ++i) seeds.insert(entropySeed());
    EXPECT_GT(seeds.size(), 1u);
}

} // namespace
} // namespace treva
