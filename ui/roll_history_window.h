#pragma once

#include "ui/app.h"

namespace treva {

// The Roll History window (template 140): every roll, newest first, to copy
// as text or clear.
bool rollHistoryWindowProc(App &app, WindowId self, const Message &message);

// Shows new rolls in an open Roll History window, from whichever window
// they came.
void followRollHistory(App &app);

// The rows as the window shows them, newest first, as text (UTF-8), each
// ended by a line feed: all of them, or those chosen.
std::string rollHistoryText(const RollHistory &history, const std::vector<int> &rows);
std::string rollHistoryText(const RollHistory &history);

} // namespace treva
