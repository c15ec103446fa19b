// Finding a generator seed whose next rolls are the ones a test needs, so
// tests can set up exact dice through the real generator.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

#include "dice/dice.h"

namespace treva::testing {

// A roll a test wants: `count` dice of six faces summing to `sum`; for two
// dice, `first` (when non-zero) is the first die.
struct WantedRoll {
    int count;
    int sum;
    int first = 0;
};

inline bool seedGives(uint32_t seed, const std::vector<WantedRoll> &rolls) {
    uint32_t g = seed;
    for (const WantedRoll &r : rolls) {
        int sum = 0, first = 0;
        for (int i = 0; i < r.count; ++i) {
            const int die = drawRandom(g) % 6 + 1;
            if (i == 0) first = die;
            sum += die;
        }
        if (sum != r.sum || (r.first != 0 && first != r.first)) return false;
    }
    return true;
}

inline uint32_t seedGiving(const std::vector<WantedRoll> &rolls) {
    for (uint32_t seed = 0; seed < 50'000'000u; ++seed) {
        if (seedGives(seed, rolls)) return seed;
    }
    throw std::runtime_error("no seed gives these rolls");
}

} // namespace treva::testing
