// The bar chart of the Dice Chart window: a window class of ours, painted
// with GDI in the screen's own pixels, so that it stays crisp at any scale.
// Its font is the dialog's, which the dialog scales with the screen.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/window_layer.h"

namespace treva {

inline constexpr wchar_t kBarChartClass[] = L"TrevaBarChart";

// Registers the class for this module; a second call finds it registered.
void registerBarChartClass(HINSTANCE instance);

// The bars a chart shows, left to right; it repaints.
void setChartBars(HWND chart, const std::vector<ChartBar> &bars);

} // namespace treva
