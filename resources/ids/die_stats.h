// Control ids of the Die Stats window (template 114).
#pragma once

namespace treva::die_stats_ids {

enum : int {
    kClear = 1000,
    kTwoDiceCount2 = 1057, // DR 2..12: kTwoDiceCount2 + DR - 2
    kOneDieCount1 = 1068,  // dr 1..6: kOneDieCount1 + dr - 1
    kTwoDiceTotal = 1074,
    kOneDieTotal = 1075,
    kTwoDiceAverage = 1076,
    kOneDieAverage = 1077,
    kChart = 2020, // ours: opens the Dice Chart window
};

inline constexpr int twoDiceCount(int dr) { return kTwoDiceCount2 + dr - 2; }
inline constexpr int oneDieCount(int dr) { return kOneDieCount1 + dr - 1; }

} // namespace treva::die_stats_ids
