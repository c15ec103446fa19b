// The one random-number generator and the dice roller that counts every
// roll of one or two dice into the die statistics.
#pragma once

#include <cstdint>

namespace treva {

// How often each result has come up. Kept inside the scenario record, so it is
// saved with the scenario.
struct DieRollStats {
    int32_t twoDiceCounts[11]; // results 2..12, element r - 2
    int32_t oneDieCounts[6];   // results 1..6, element r - 1
    int32_t twoDiceRolls;
    int32_t oneDieRolls;
    int32_t twoDiceSum;
    int32_t oneDieSum;
};
static_assert(sizeof(DieRollStats) == 84, "21 counters of 32 bits");

// Generator state before any seeding.
inline constexpr uint32_t kUnseededGenerator = 1;

void seedGenerator(uint32_t &generator, uint32_t value);

// Advances the generator and returns its next 15-bit value, 0..32767.
int drawRandom(uint32_t &generator);

// One throw: the sum, the first two dice, and whether the statistics counted it.
struct Throw {
    int sum = 0;
    int dice[2] = {0, 0};
    bool counted = false;
};

// Throws `count` dice of `faces` faces. A roll of one die counts as a dr, a
// roll of two dice as a DR; other counts are not counted.
Throw throwDice(uint32_t &generator, DieRollStats &stats, int count, int faces);
inline int rollDice(uint32_t &generator, DieRollStats &stats, int count, int faces) {
    return throwDice(generator, stats, count, faces).sum;
}

void clearStats(DieRollStats &stats);

// A seed that differs from run to run: the clock alone gives nearly the same
// value at every start-up, so players would see the same dice every session.
uint32_t entropySeed();

} // namespace treva
