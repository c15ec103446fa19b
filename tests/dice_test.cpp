#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "dice/dice.h"

namespace treva {
namespace {

TEST(Generator, SequenceFromStateOne) {
    uint32_t g = kUnseededGenerator;
    EXPECT_EQ(drawRandom(g), 41);
    EXPECT_EQ(drawRandom(g), 18467);
    EXPECT_EQ(drawRandom(g), 6334);
}

TEST(Generator, SeedSetsTheState) {
    uint32_t g = 12345;
    seedGenerator(g, 1);
    EXPECT_EQ(drawRandom(g), 41);
}

TEST(Generator, DrawsStayWithinFifteenBits) {
    uint32_t g = 0xFFFFFFFFu;
    for (int i = 0; i < 100000; ++i) {
        const int v = drawRandom(g);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
    }
}

TEST(RollDice, ThreeSingleDiceFromStateOne) {
    uint32_t g = 1;
    DieRollStats stats{};
    EXPECT_EQ(rollDice(g, stats, 1, 6), 6);
    EXPECT_EQ(rollDice(g, stats, 1, 6), 6);
    EXPECT_EQ(rollDice(g, stats, 1, 6), 5);
    EXPECT_EQ(stats.oneDieCounts[4], 1);
    EXPECT_EQ(stats.oneDieCounts[5], 2);
    EXPECT_EQ(stats.oneDieRolls, 3);
    EXPECT_EQ(stats.oneDieSum, 17);
    EXPECT_EQ(stats.twoDiceRolls, 0);
}

TEST(RollDice, TwoDiceFromStateZeroCountAsOneDR) {
    uint32_t g = 0;
    DieRollStats stats{};
    EXPECT_EQ(rollDice(g, stats, 2, 6), 7);
    EXPECT_EQ(stats.twoDiceCounts[5], 1);
    EXPECT_EQ(stats.twoDiceRolls, 1);
    EXPECT_EQ(stats.twoDiceSum, 7);
    EXPECT_EQ(stats.oneDieRolls, 0);
}

TEST(RollDice, ThreeDiceAreNotCounted) {
    uint32_t g = 1;
    DieRollStats stats{};
    const int sum = rollDice(g, stats, 3, 6);
    EXPECT_EQ(sum, 17); // the three dr of state 1: 6 + 6 + 5
    DieRollStats empty{};
    EXPECT_EQ(0, memcmp(&stats, &empty, sizeof stats));
}

TEST(RollDice, CountsStayConsistentOverManyRolls) {
    uint32_t g = 99;
    DieRollStats stats{};
    for (int i = 0; i < 5000; ++i) {
        rollDice(g, stats, 1, 6);
        rollDice(g, stats, 2, 6);
    }
    int ones = 0, twos = 0, oneSum = 0, twoSum = 0;
    for (int r = 1; r <= 6; ++r) ones += stats.oneDieCounts[r - 1], oneSum += r * stats.oneDieCounts[r - 1];
    for (int r = 2; r <= 12; ++r) twos += stats.twoDiceCounts[r - 2], twoSum += r * stats.twoDiceCounts[r - 2];
    EXPECT_EQ(ones, 5000);
    EXPECT_EQ(twos, 5000);
    EXPECT_EQ(stats.oneDieSum, oneSum);
    EXPECT_EQ(stats.twoDiceSum, twoSum);
    for (int r = 0; r < 6; ++r) EXPECT_GT(stats.oneDieCounts[r], 700) << "face " << r + 1;
}

TEST(RollDice, OtherFacesNeverCountOutsideTheHistogram) {
    uint32_t g = 7;
    DieRollStats stats{};
    for (int i = 0; i < 1000; ++i) rollDice(g, stats, 1, 20);
    EXPECT_EQ(stats.oneDieRolls, stats.oneDieCounts[0] + stats.oneDieCounts[1] + stats.oneDieCounts[2] +
                                     stats.oneDieCounts[3] + stats.oneDieCounts[4] + stats.oneDieCounts[5]);
}

TEST(RollDice, CountersFromAFileStopAtTheirLargestValue) {
    uint32_t g = 0;
    DieRollStats stats{};
    stats.twoDiceRolls = INT32_MAX;
    stats.twoDiceSum = INT32_MAX - 3;
    stats.twoDiceCounts[5] = INT32_MAX;
    EXPECT_EQ(rollDice(g, stats, 2, 6), 7);
    EXPECT_EQ(stats.twoDiceRolls, INT32_MAX);
    EXPECT_EQ(stats.twoDiceSum, INT32_MAX);
    EXPECT_EQ(stats.twoDiceCounts[5], INT32_MAX);
    stats.oneDieSum = -5; // a damaged file's negative count still counts up
    rollDice(g, stats, 1, 6);
    EXPECT_GT(stats.oneDieSum, -5);
}

TEST(EntropySeed, VariesFromCallToCall) {
    std::set<uint32_t> seeds;
    for (int i = 0; i < 8; ++i) seeds.insert(entropySeed());
    EXPECT_GT(seeds.size(), 1u);
}

} // namespace
} // namespace treva
