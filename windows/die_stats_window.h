#pragma once

#include "windows/app.h"

namespace treva {

// The Die Stats window (template 114): how often each result has come up.
bool dieStatsWindowProc(App &app, WindowId self, const Message &message);

} // namespace treva
