// `treva --screenshots DIR`: the scenes of windows/screenshot_scenes.h on the
// Win32 interface, as PNG files.
#pragma once

#include <string>

namespace treva {

class Win32WindowLayer;
struct App;

// Plays the screenshot scenes on the frame and its windows, writing each
// picture into `folder` (created if needed) under the name the desktop
// program on Qt gives it. Returns the program's exit status.
int takeScreenshots(Win32WindowLayer &layer, App &app, const std::wstring &folder);

} // namespace treva
