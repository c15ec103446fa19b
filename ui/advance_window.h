#pragma once

#include "ui/app.h"

namespace treva {

// The Advance window (template 115): advance direction, the CC NTC roll with
// its modifiers, the CC pairing rule and the CC attack roll.
bool advanceWindowProc(App &app, WindowId self, const Message &message);

// The pairing rule for a dr.
const char *pairingRuleText(int dr);

} // namespace treva
