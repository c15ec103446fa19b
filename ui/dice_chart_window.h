#pragma once

#include "ui/app.h"

namespace treva {

// The Dice Chart window (template 141): the die statistics as bars beside
// the counts fair dice would give, and whether the dice look fair.
bool diceChartWindowProc(App &app, WindowId self, const Message &message);

// Shows the statistics as they are now in an open Dice Chart window.
void followDiceChart(App &app);

} // namespace treva
