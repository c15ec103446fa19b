#pragma once

#include "ui/app.h"

namespace treva {

// The Die Stats window (template 114): how often each result has come up.
bool dieStatsWindowProc(App &app, WindowId self, const Message &message);

// Shows the statistics as they are now in an open Die Stats window, so that
// it follows every counted roll, from whichever window it came.
void followDieStats(App &app);

} // namespace treva
