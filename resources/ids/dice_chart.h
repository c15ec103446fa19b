// Control ids of the Dice Chart window (template 141).
#pragma once

namespace treva::dice_chart_ids {

enum : int {
    kClose = 1,
    kTwoDiceChart = 2010, // DR 2..12
    kTwoDiceFairness = 2011,
    kOneDieChart = 2012, // dr 1..6
    kOneDieFairness = 2013,
};

} // namespace treva::dice_chart_ids
