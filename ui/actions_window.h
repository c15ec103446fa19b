#pragma once

#include "actions/priority_tables.h"
#include "ui/app.h"

namespace treva {

// The Actions window (template 103): action rolls, the six table categories,
// manual die buttons and the direction roll.
bool actionsWindowProc(App &app, WindowId self, const Message &message);

// The direction key for the map's hex orientation, on a picture control.
void showDirectionKey(App &app, WindowId window, int control);
// The picture of the hex a direction dr picks.
void showDirectionResult(App &app, WindowId window, int dr, int control);

} // namespace treva
