// Where the frame's tool windows open, the same in every realisation.
#pragma once

#include <optional>

namespace treva {

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint &) const = default;
};

struct ScreenSize {
    int width = 0, height = 0;
};

// A rectangle by its top-left corner and its size, in pixels.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; } // one past the last column
    int bottom() const { return y + height; }
};

// Where a tool window opens: the top-left corner of its outer frame, given
// the work area of its screen, the frame window's outer rectangle, the tool
// window's outer size and where the player last left a window made from the
// same template, if anywhere. That place is kept. Otherwise the window goes
// below the frame from its left edge, beside it to the right or to the left
// from its top edge, or below it to the right or to the left: the first of
// these that covers the least of the frame (none of it wherever there is
// room). Every place is moved into the area as far as the window fits; a
// window larger than the area keeps its top-left corner inside.
ScreenPoint toolWindowPosition(const ScreenRect &available, const ScreenRect &frame, ScreenSize window,
                               std::optional<ScreenPoint> remembered);

} // namespace treva
