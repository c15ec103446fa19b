#pragma once

#include "ui/app.h"

namespace treva {

// The Activation window (template 101): the activation roll, its modifiers
// and the units that appear.
bool activationWindowProc(App &app, WindowId self, const Message &message);

} // namespace treva
