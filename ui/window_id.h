#pragma once

namespace treva {

// A window of the window layer; 0 is no window.
using WindowId = int;
inline constexpr WindowId kNoWindow = 0;
// The frame window, made first by every realisation.
inline constexpr WindowId kFrameWindow = 1;

} // namespace treva
