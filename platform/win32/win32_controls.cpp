// The Win32 window layer's controls: what the program sets and reads in
// them, the list boxes' rows and font, pictures, charts and the clipboard.
#include "platform/win32/win32_window_layer.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/bar_chart.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window_layer_internal.h"

namespace treva {

using win32_layer::dpiOf;
using win32_layer::isButton;
using win32_layer::showScrollBarWhenNeeded;

namespace {

// The list boxes' font: fixed width, as the rows line their columns up with
// spaces.
constexpr wchar_t kFixedFontFace[] = L"Consolas";

std::wstring windowText(HWND hwnd) {
    if (!hwnd) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The room a list leaves beside a row's text, at 96 dots an inch.
constexpr int kRowMargins = 12;

int rowWidth(HWND list, const std::wstring &text) {
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

} // namespace

void win32_layer::showScrollBarWhenNeeded(HWND box) {
    ShowScrollBar(box, SB_VERT, FALSE);
    RECT client{};
    GetClientRect(box, &client);
    HDC dc = GetDC(box);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    const LRESULT lines = SendMessageW(box, EM_GETLINECOUNT, 0, 0);
    if (lines > 1 && lines * metrics.tmHeight > client.bottom - client.top) ShowScrollBar(box, SB_VERT, TRUE);
}

void Win32WindowLayer::showPicture(Control &c, UINT dpi) {
    if (!c.hwnd) return;
    HBITMAP bitmap = nullptr;
    if (c.image != 0) {
        HBITMAP &cached = bitmaps_[{c.image, dpi}];
        if (!cached) cached = pictures_.load(c.image, dpi, GetSysColor(COLOR_3DFACE));
        bitmap = cached;
    }
    SendMessageW(c.hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

// The font, as high as the dialog's at this scale, and the column as wide
// as the widest row shown, measured again in that font.
void Win32WindowLayer::fitList(const Window &w, Control &c, UINT dpi) {
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont(w.dialog->pointSize, dpi)), TRUE);
    c.dpi = dpi;
    c.widestWidth = c.widestRow.empty() ? 0 : rowWidth(c.hwnd, c.widestRow);
    fitColumn(c);
}

// One column, at least as wide as the list less its scroll bar, shown or
// not, so that the rows never scroll sideways for a vertical scroll bar;
// wider for a row that needs it, which the list then scrolls to.
void Win32WindowLayer::fitColumn(const Control &c) const {
    RECT client{};
    GetClientRect(c.hwnd, &client);
    int width = client.right - client.left;
    if (!(GetWindowLongPtrW(c.hwnd, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetricsForDpi(SM_CXVSCROLL, c.dpi);
    if (c.widestWidth > 0) width = std::max(width, c.widestWidth + MulDiv(kRowMargins, static_cast<int>(c.dpi), 96));
    SendMessageW(c.hwnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(width, 0), 0));
}

bool Win32WindowLayer::noteRow(Control &c, std::wstring text) {
    const int width = rowWidth(c.hwnd, text);
    if (width <= c.widestWidth) return false;
    c.widestRow = std::move(text);
    c.widestWidth = width;
    return true;
}

HFONT Win32WindowLayer::fixedFont(int points, UINT dpi) {
    HFONT &font = fixedFonts_[{points, dpi}];
    if (!font) {
        LOGFONTW face{};
        face.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
        face.lfWeight = FW_NORMAL;
        face.lfCharSet = DEFAULT_CHARSET;
        // Where the face is missing, the system's own fixed-width font.
        face.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
        lstrcpynW(face.lfFaceName, kFixedFontFace, LF_FACESIZE);
        font = CreateFontIndirectW(&face);
    }
    return font;
}

bool Win32WindowLayer::showRow(Control &c, NMLVDISPINFOW &info) const {
    LVITEMW &item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return false;
    item.pszText[0] = L'\0';
    if (!c.row || item.iSubItem != 0 || item.iItem < 0 || item.iItem >= c.rowCount) return false;
    std::wstring text = fromCp1252(c.row(item.iItem));
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    if (!noteRow(c, std::move(text)) || c.widening) return false;
    const LRESULT column = SendMessageW(c.hwnd, LVM_GETCOLUMNWIDTH, 0, 0);
    if (c.widestWidth + MulDiv(kRowMargins, static_cast<int>(c.dpi), 96) <= column) return false;
    // Not now: the list is painting.
    c.widening = true;
    return true;
}

void Win32WindowLayer::setText(WindowId window, int control, std::string_view text) {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd) return;
    switch (c->source->kind) {
    case ControlKind::Text:
        SetWindowTextW(c->hwnd, displayText(text).c_str());
        if (scrollsItsText(*c->source)) showScrollBarWhenNeeded(c->hwnd);
        break;
    case ControlKind::EditBox:
        settingText_ = true; // what the program writes is no typing
        SetWindowTextW(c->hwnd, fromCp1252(text).c_str());
        settingText_ = false;
        break;
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: SetWindowTextW(c->hwnd, fromCp1252(text).c_str()); break;
    case ControlKind::DropDownList:
    case ControlKind::Picture:
    case ControlKind::ListBox:  // rows, by setRows
    case ControlKind::BarChart: // bars, by setChart
        break;
    }
}

std::string Win32WindowLayer::text(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind == ControlKind::Picture) return {};
    const std::wstring shown = windowText(c->hwnd);
    return c->source->kind == ControlKind::Text ? programText(shown) : toCp1252(shown);
}

void Win32WindowLayer::setChecked(WindowId window, int control, bool checked) {
    Window *w = book_.find(window);
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd) return;
    const ControlKind kind = c->source->kind;
    if (kind != ControlKind::CheckBox && kind != ControlKind::RadioButton) return;
    SendMessageW(c->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (kind == ControlKind::RadioButton) updateRadioTabStops(*w, static_cast<std::size_t>(c - w->controls.data()));
}

bool Win32WindowLayer::isChecked(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    return c && c->hwnd && isButton(c->source->kind) && SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32WindowLayer::setEnabled(WindowId window, int control, bool enabled) {
    const Control *c = book_.control(window, control);
    if (c && c->hwnd) EnableWindow(c->hwnd, enabled);
}

void Win32WindowLayer::addItem(WindowId window, int control, std::string_view item) {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return;
    SendMessageW(c->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fromCp1252(item).c_str()));
}

void Win32WindowLayer::setSelection(WindowId window, int control, int index) {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return;
    const int count = static_cast<int>(SendMessageW(c->hwnd, CB_GETCOUNT, 0, 0));
    SendMessageW(c->hwnd, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

int Win32WindowLayer::selection(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return -1;
    const LRESULT selected = SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void Win32WindowLayer::setImage(WindowId window, int control, int bitmapId) {
    Control *c = book_.control(window, control);
    if (!c) return;
    c->image = bitmapId;
    if (c->source->kind == ControlKind::Picture) showPicture(*c, dpiOf(c->hwnd));
}

int Win32WindowLayer::image(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::Picture) return 0;
    // The picture the control shows, known by the bitmap this layer gave it.
    const auto shown = reinterpret_cast<HBITMAP>(SendMessageW(c->hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!shown) return 0;
    for (const auto &[key, bitmap] : bitmaps_)
        if (bitmap == shown) return key.first;
    return 0;
}

void Win32WindowLayer::focusAndSelectAll(WindowId window, int control) {
    Window *w = book_.find(window);
    const Control *c = book_.control(window, control);
    if (!w || !c || !c->hwnd) return;
    if (!IsWindowVisible(w->hwnd)) {
        w->initialFocus = control; // takes the focus as the window opens
        return;
    }
    SetFocus(c->hwnd);
    if (c->source->kind == ControlKind::EditBox) SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
}

void Win32WindowLayer::setRows(WindowId window, int control, int count, std::function<std::string(int)> row) {
    Control *c = book_.control(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::ListBox) return;
    c->rowCount = std::max(count, 0);
    c->row = std::move(row);
    // The list asks for the rows it shows, and only those, as it paints.
    SendMessageW(c->hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(c->rowCount), 0);
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(c->hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageW(c->hwnd, LVM_SETSELECTIONMARK, 0, -1);
    if (c->rowCount > 0) SendMessageW(c->hwnd, LVM_ENSUREVISIBLE, 0, FALSE);
    // The column as wide as the widest row of the first page, which the list
    // shows now; a wider row further down widens it as it comes into view.
    c->widestRow.clear();
    c->widestWidth = 0;
    const int page = static_cast<int>(SendMessageW(c->hwnd, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    for (int i = 0; i < std::min(page, c->rowCount) && c->row; ++i) noteRow(*c, fromCp1252(c->row(i)));
    fitColumn(*c);
    InvalidateRect(c->hwnd, nullptr, TRUE); // the same count may hold other rows
}

std::vector<int> Win32WindowLayer::selectedRows(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    std::vector<int> rows;
    if (!c || !c->hwnd || c->source->kind != ControlKind::ListBox) return rows;
    for (int i = -1;;) {
        i = static_cast<int>(SendMessageW(c->hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED));
        if (i < 0 || i >= c->rowCount || (!rows.empty() && i <= rows.back())) break;
        rows.push_back(i);
    }
    return rows;
}

void Win32WindowLayer::setChart(WindowId window, int control, const std::vector<ChartBar> &bars) {
    const Control *c = book_.control(window, control);
    if (c && c->hwnd && c->source->kind == ControlKind::BarChart) setChartBars(c->hwnd, bars);
}

void Win32WindowLayer::copyText(std::string_view text) {
    const std::wstring wide = withLineBreaks(widenUtf8(text));
    // Another program may hold the clipboard for a moment.
    bool open = false;
    for (int attempt = 0; attempt < 5 && !(open = OpenClipboard(frame_)); ++attempt) Sleep(10);
    if (!open) return;
    EmptyClipboard();
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void *data = GlobalLock(memory)) {
            std::memcpy(data, wide.c_str(), bytes);
            GlobalUnlock(memory);
        }
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory); // still ours to free
    }
    CloseClipboard();
}

} // namespace treva
