// `treva --screenshots DIR`: every window and box, filled as in play, as PNG files.
#pragma once

#include <string>

namespace treva {

class Win32WindowLayer;
struct App;

// Opens the frame, every tool window and every box in turn, with a few rolls
// made so that the fields show something, and writes one PNG of each into
// `folder` (created if needed), named as the desktop program on Qt names
// them. Returns the program's exit status.
int takeScreenshots(Win32WindowLayer &layer, App &app, const std::wstring &folder);

} // namespace treva
