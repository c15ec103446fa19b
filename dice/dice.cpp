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

bool roomFor(int32_t counter, int32_t amount) { return counter <= INT32_MAX - amount; }

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
    // A roll is counted whole or not at all, so that the counts always add
    // up to the rolls and their sum; a counter that is full (a scenario file
    // may bring one close) leaves the roll uncounted.
    int32_t *face = nullptr, *rolls = nullptr, *total = nullptr;
    if (count == 2 && sum >= 2 && sum <= 12)
        face = &stats.twoDiceCounts[sum - 2], rolls = &stats.twoDiceRolls, total = &stats.twoDiceSum;
    else if (count == 1 && sum >= 1 && sum <= 6)
        face = &stats.oneDieCounts[sum - 1], rolls = &stats.oneDieRolls, total = &stats.oneDieSum;
    t.counted = face && roomFor(*face, 1) && roomFor(*rolls, 1) && roomFor(*total, sum);
    if (t.counted) {
        *face += 1;
        *rolls += 1;
        *total += sum;
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
