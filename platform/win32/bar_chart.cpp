#include "platform/win32/bar_chart.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/win32/wide_text.h"

namespace treva {
namespace {

constexpr UINT kSetBars = WM_USER + 1;

struct Chart {
    std::vector<ChartBar> bars;
    HFONT font = nullptr; // the dialog's, as the dialog sets it
};

Chart *chartOf(HWND hwnd) { return reinterpret_cast<Chart *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

int scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

void fill(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush);
}

void text(HDC dc, const std::wstring &s, int left, int top, int right, int bottom) {
    RECT r{left, top, right, bottom};
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

// Each bar has a slot of equal width: the bar fills the middle half of it,
// its label is under it, its count above it, and the mark crosses three
// quarters of the slot, so that it shows beside a bar as well as on it.
void paint(HWND hwnd, const Chart &chart, HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    if (chart.bars.empty()) return;
    const UINT dpi = GetDpiForWindow(hwnd) ? GetDpiForWindow(hwnd) : 96;
    HFONT font = chart.font ? chart.font : reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd), WM_GETFONT, 0, 0));
    const HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));

    const int line = metrics.tmHeight;
    const int pad = scaled(3, dpi);
    const int left = client.left + pad, right = client.right - pad;
    const int labelTop = client.bottom - pad - line;
    const int base = labelTop - scaled(2, dpi); // where the bars stand
    const int top = client.top + pad + line;    // room for the count over the tallest bar or mark
    const int room = std::max(0, base - top);
    double scale = 0;
    for (const ChartBar &bar : chart.bars) scale = std::max({scale, static_cast<double>(bar.count), bar.expected});
    const auto heightOf = [&](double value) { return static_cast<int>(std::lround(value / scale * room)); };

    const int n = static_cast<int>(chart.bars.size());
    if (scale > 0) fill(dc, left, base, right, base + std::max(1, scaled(1, dpi)), GetSysColorBrush(COLOR_BTNSHADOW));
    // The mark at what fair dice would have given, in the colour of the
    // texts, as the guide shows it.
    HBRUSH mark = GetSysColorBrush(COLOR_WINDOWTEXT);
    const int markThickness = std::max(1, scaled(2, dpi));
    for (int i = 0; i < n; ++i) {
        const ChartBar &bar = chart.bars[static_cast<std::size_t>(i)];
        const int slotLeft = left + (right - left) * i / n, slotRight = left + (right - left) * (i + 1) / n;
        const int slot = slotRight - slotLeft;
        text(dc, fromCp1252(bar.label), slotLeft, labelTop, slotRight, labelTop + line);
        if (scale <= 0) continue; // nothing rolled: the results only
        const int height = heightOf(std::max(0, bar.count));
        if (height > 0)
            fill(dc, slotLeft + slot / 4, base - height, slotRight - slot / 4, base, GetSysColorBrush(COLOR_HIGHLIGHT));
        const int y = base - heightOf(std::max(0.0, bar.expected)) - markThickness / 2;
        fill(dc, slotLeft + slot / 8, y, slotRight - slot / 8, y + markThickness, mark);
        // Above the bar, and above the mark where the mark is just over it.
        int countBottom = base - height;
        if (y < countBottom && countBottom - y < line) countBottom = y;
        text(dc, std::to_wstring(bar.count), slotLeft, countBottom - line, slotRight, countBottom);
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK chartProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Chart *chart = chartOf(hwnd);
    switch (message) {
    case WM_NCCREATE: SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Chart)); break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete chart;
        break;
    case WM_SETFONT:
        if (chart) chart->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_GETFONT: return chart ? reinterpret_cast<LRESULT>(chart->font) : 0;
    case kSetBars:
        if (chart) chart->bars = *reinterpret_cast<const std::vector<ChartBar> *>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return 1; // painting covers it all
    case WM_PRINTCLIENT:
        if (chart) paint(hwnd, *chart, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (chart) {
            // Drawn aside and shown at once: no flicker as the counts change.
            RECT client{};
            GetClientRect(hwnd, &client);
            HDC aside = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
            const HGDIOBJ old = SelectObject(aside, bitmap);
            paint(hwnd, *chart, aside);
            BitBlt(dc, 0, 0, client.right, client.bottom, aside, 0, 0, SRCCOPY);
            SelectObject(aside, old);
            DeleteObject(bitmap);
            DeleteDC(aside);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DPICHANGED_AFTERPARENT: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

void registerBarChartClass(HINSTANCE instance) {
    WNDCLASSEXW chartClass{};
    chartClass.cbSize = sizeof(chartClass);
    if (GetClassInfoExW(instance, kBarChartClass, &chartClass)) return;
    chartClass.style = CS_HREDRAW | CS_VREDRAW;
    chartClass.lpfnWndProc = chartProc;
    chartClass.hInstance = instance;
    chartClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    chartClass.lpszClassName = kBarChartClass;
    RegisterClassExW(&chartClass);
}

void setChartBars(HWND chart, const std::vector<ChartBar> &bars) {
    SendMessageW(chart, kSetBars, 0, reinterpret_cast<LPARAM>(&bars));
}

} // namespace treva
