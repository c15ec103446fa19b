#pragma once

#include "ui/app.h"

namespace treva {

// The Random Number Tables window (template 128): the eight small tables, one
// die, two dice, a hex row A..GG and a hex number 1..10.
bool randomTablesWindowProc(App &app, WindowId self, const Message &message);

} // namespace treva
