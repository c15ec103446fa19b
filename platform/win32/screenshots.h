// `treva --screenshots DIR`: the scenes of windows/screenshot_scenes.h on the
// Win32 interface, as PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace treva {

class Win32WindowLayer;
struct App;

// Plays the screenshot scenes on the frame and its windows, writing each
// picture into `folder` (created if needed) under the name the desktop
// program on Qt gives it. Returns the program's exit status.
// A picture of the window as the player sees it on the screen, top row
// first, four bytes a pixel (blue, green, red, unused): its client area with
// its menu bar, without the caption and frame the window system draws.
std::vector<BYTE> windowPicture(HWND hwnd, UINT &width, UINT &height);

int takeScreenshots(Win32WindowLayer &layer, App &app, const std::wstring &folder);

} // namespace treva
