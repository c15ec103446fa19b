#pragma once

#include <cstdint>
#include <string_view>

#include "ui/app.h"

namespace treva {

// The Setup Options window (template 102): the scenario settings. Also run as
// a modal box at start-up.
bool setupWindowProc(App &app, WindowId self, const Message &message);

// The Special window (template 107): the A1 and A5 modifiers, run modally
// from the Setup Options window.
bool specialWindowProc(App &app, WindowId self, const Message &message);

// The value of a modifier box: its first nine characters, leading white space
// skipped, one optional sign, then decimal digits up to the first other
// character; 0 without digits.
int32_t parseModifierText(std::string_view text);

} // namespace treva
