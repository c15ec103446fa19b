// What the parts of the Win32 window layer share: the helpers more than one
// of win32_frame.cpp, win32_dialogs.cpp, win32_controls.cpp and
// win32_boxes.cpp calls. Not for the layer's users, who include
// win32_window_layer.h.
#pragma once

#include <windows.h>

#include "resources/dialogs.h"

namespace treva::win32_layer {

inline bool isButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::RadioButton;
}

inline UINT dpiOf(HWND hwnd) {
    const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
    return dpi ? dpi : 96;
}

inline RECT workArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

// The scroll bar of a read-only text box only while its text is longer
// than the box, as the other front ends show theirs.
void showScrollBarWhenNeeded(HWND box);

} // namespace treva::win32_layer
