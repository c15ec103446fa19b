// The order the Tab key takes through a window, the same in every
// realisation: derived from the template's positions, as the eye reads the
// window, not from the order the controls happen to be listed in.
#pragma once

#include <cstddef>
#include <vector>

#include "resources/dialogs.h"

namespace treva {

// Whether a control of this kind takes the keyboard focus: everything the
// player presses, ticks, chooses from or types into. Static texts and
// pictures do not.
bool takesFocus(ControlKind kind);

// A drop-down list's template height includes its dropped list; closed, it
// is one line of the dialog font in its frame.
inline constexpr int kClosedListHeight = 12;

// The controls that take the focus, as indices into dialog.controls, in
// reading order: rows top to bottom, each row left to right. Taken by their
// top edges, a control joins the row being gathered when its height overlaps
// that row's first control by at least half the shorter of the two (a
// drop-down list counts closed); otherwise it starts the next row. The radio
// buttons of a group come together, in reading order, where the group's
// first one falls: the group is one stop, which its checked button takes.
std::vector<std::size_t> tabOrder(const DialogTemplate &dialog);

} // namespace treva
