#include "dice/dice.h"

#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>

namespace treva {

void seedGenerator(uint32_t &generator, uint32_t value) { generator = value; }

int drawRandom(uint32_t &generator) {
    generator = generator * 214013u + 2531011u; // wraps modulo 2^32
    return static_cast<int>((generator >> 16) & 32767u);
}

namespace {

// A counter stops at its largest value rather than wrap: a scenario file may
// bring counters close to it.
void countUp(int32_t &counter, int32_t amount) {
    counter = counter > INT32_MAX - amount ? INT32_MAX : counter + amount;
}

} // namespace

Throw throwDice(uint32_t &generator, DieRollStats &stats, int count, int faces) {
    Throw t;
    int &sum = t.sum;
    for (int i = 0; i < count; ++i) {
        // The 15-bit draw is taken modulo the faces directly, without
        // rejection, so that every roll matches the module's dice exactly.
        const int die = drawRandom(generator) % faces + 1;
        if (i < 2) t.dice[i] = die;
        sum += die;
    }
    t.counted = (count == 2 && sum >= 2 && sum <= 12) || (count == 1 && sum >= 1 && sum <= 6);
    if (count == 2 && sum >= 2 && sum <= 12) {
        countUp(stats.twoDiceCounts[sum - 2], 1);
        countUp(stats.twoDiceRolls, 1);
        countUp(stats.twoDiceSum, sum);
    } else if (count == 1 && sum >= 1 && sum <= 6) {
        countUp(stats.oneDieCounts[sum - 1], 1);
        countUp(stats.oneDieRolls, 1);
        countUp(stats.oneDieSum, sum);
    }
    return t;
}

void clearStats(DieRollStats &stats) { std::memset(&stats, 0, sizeof stats); }

uint32_t entropySeed() {
    uint32_t seed = 0;
    try {
        std::random_device device;
        seed = device();
    } catch (...) {
        // No entropy source on this system: the clock below still varies.
    }
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    seed ^= static_cast<uint32_t>(ticks) ^ static_cast<uint32_t>(static_cast<uint64_t>(ticks) >> 32);
    return seed;
}

} // namespace treva
