// The Win32 window layer's windows and boxes built from dialog templates:
// making them, placing them, the boxes' own loops, what their controls send.
#include "platform/win32/win32_window_layer.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/dialog_template.h"
#include "platform/win32/win32_window_layer_internal.h"

namespace treva {

using win32_layer::dpiOf;
using win32_layer::isButton;
using win32_layer::showScrollBarWhenNeeded;
using win32_layer::workArea;

namespace {

// Posted to a modal box once it is built: its own loop then runs, and the
// box takes input.
constexpr UINT kModalReady = WM_APP + 1;
// Posted to a window whose screen scale has changed (the new dots an inch),
// once the dialog has resized its controls: the list boxes take their font
// and width again.
constexpr UINT kFitLists = WM_APP + 2;
// Posted once a list has painted a row wider than its column.
constexpr UINT kWidenLists = WM_APP + 3;

ScreenRect screenRect(const RECT &r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// Today's screens, the primary first.
std::vector<ScreenRect> screenLayout() {
    std::vector<ScreenRect> screens;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (!GetMonitorInfoW(monitor, &info)) return TRUE;
            auto &list = *reinterpret_cast<std::vector<ScreenRect> *>(data);
            const ScreenRect r = screenRect(info.rcMonitor);
            if (info.dwFlags & MONITORINFOF_PRIMARY)
                list.insert(list.begin(), r);
            else
                list.push_back(r);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&screens));
    return screens;
}

} // namespace

HWND Win32WindowLayer::ownerHandle(WindowId owner) const {
    const Window *w = book_.find(owner);
    return w && w->open && w->hwnd ? w->hwnd : frame_;
}

HWND Win32WindowLayer::dialogOwner() const {
    if (book_.active() != kFrameWindow)
        if (HWND hwnd = handle(book_.active())) return hwnd;
    return frame_;
}

std::vector<HWND> Win32WindowLayer::disableOthers(HWND except) {
    std::vector<HWND> disabled;
    const auto disable = [&](HWND hwnd) {
        if (hwnd && hwnd != except && IsWindowEnabled(hwnd)) {
            EnableWindow(hwnd, FALSE);
            disabled.push_back(hwnd);
        }
    };
    disable(frame_);
    for (const auto &[id, w] : book_.all())
        if (w->open) disable(w->hwnd);
    return disabled;
}

Win32WindowLayer::Window *Win32WindowLayer::create(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog || book_.frameClosed()) return nullptr;
    Window &w = book_.add(*dialog, std::move(proc), owner, modal);
    w.layer = this;
    return &w;
}

WindowId Win32WindowLayer::createModeless(int templateId, WindowId owner, WindowProc proc) {
    Window *w = create(templateId, owner, std::move(proc), false);
    if (!w) return kNoWindow;
    const std::vector<uint16_t> words = buildDialogTemplate(*w->dialog, false);
    const HWND hwnd = CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                                 ownerHandle(owner), dialogProc, reinterpret_cast<LPARAM>(w));
    if (!w->open) return w->id; // ended as it was made: never shown
    if (!hwnd) {
        w->open = false;
        return kNoWindow;
    }
    place(*w);
    ShowWindow(hwnd, SW_SHOW); // and active, at the program's request
    return w->id;
}

int Win32WindowLayer::runModal(int templateId, WindowId owner, WindowProc proc) {
    Window *w = create(templateId, owner, std::move(proc), true);
    if (!w) return kNoBox;
    const std::vector<uint16_t> words = buildDialogTemplate(*w->dialog, true);
    // The box's own loop, as a dialog box runs it: while the box is up, no
    // other window of ours takes input, its owner included.
    w->disabled = disableOthers(nullptr);
    const HWND hwnd = CreateDialogIndirectParamW(instance_, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                                 ownerHandle(owner), dialogProc, reinterpret_cast<LPARAM>(w));
    const bool made = hwnd || !w->open;
    if (hwnd && w->open) {
        ShowWindow(hwnd, SW_SHOW);
        boxLoops_.push_back(w->id);
        MSG message{};
        while (w->open && !w->loopLeft) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) { // the program is ending: the box ends with it, with 0
                PostQuitMessage(got == 0 ? static_cast<int>(message.wParam) : 1);
                break;
            }
            handleMessage(message);
        }
        boxLoops_.pop_back();
    }
    if (w->loopLeft) return 0; // still up
    w->open = false;
    for (HWND other : w->disabled) EnableWindow(other, TRUE);
    w->disabled.clear();
    if (w->hwnd) DestroyWindow(w->hwnd);
    return made ? w->result : kNoBox;
}

void Win32WindowLayer::leaveModalLoop(WindowId box) {
    Window *w = book_.find(box);
    if (w && w->open && w->modal) w->loopLeft = true;
}

const Win32WindowLayer::Window *Win32WindowLayer::runningBox() const {
    for (auto it = boxLoops_.rbegin(); it != boxLoops_.rend(); ++it)
        if (const Window *w = book_.find(*it); w && w->open && !w->loopLeft) return w;
    return nullptr;
}

void Win32WindowLayer::endWindow(WindowId window, int result) {
    Window *w = book_.end(window, result);
    if (!w || !w->hwnd) return;
    if (w->modal) {
        // Enabled before the box goes, so that activation returns to our
        // windows; the box's loop then ends and destroys it.
        for (HWND hwnd : w->disabled) EnableWindow(hwnd, TRUE);
        w->disabled.clear();
        if (w->loopLeft)
            DestroyWindow(w->hwnd); // no loop left to do it
        else
            ShowWindow(w->hwnd, SW_HIDE);
        return;
    }
    leave(*w); // it comes back there
    if (keepEndedWindows)
        ShowWindow(w->hwnd, SW_HIDE);
    else
        DestroyWindow(w->hwnd);
}

void Win32WindowLayer::place(const Window &w) {
    RECT outer{};
    GetWindowRect(w.hwnd, &outer);
    workspace_.setScreens(screenLayout());
    HMONITOR monitor = MonitorFromWindow(frame_, MONITOR_DEFAULTTOPRIMARY);
    if (const std::optional<ScreenRect> left = workspace_.kept(w.dialog->id))
        monitor = MonitorFromPoint({left->x, left->y}, MONITOR_DEFAULTTONEAREST);
    const ScreenRect size = screenRect(outer);
    const ScreenPoint at = workspace_.place(w.dialog->id, surroundings(monitor), {size.width, size.height});
    SetWindowPos(w.hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Surroundings Win32WindowLayer::surroundings(HMONITOR monitor) const {
    RECT frame{};
    GetWindowRect(frame_, &frame);
    const int caption =
        GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
    Surroundings around{screenRect(workArea(monitor)), screenRect(frame), {}, caption};
    for (const auto &[id, w] : book_.all()) {
        RECT r{};
        if (w->open && !w->modal && w->hwnd && IsWindowVisible(w->hwnd) && GetWindowRect(w->hwnd, &r))
            around.open.push_back(screenRect(r));
    }
    return around;
}

void Win32WindowLayer::leave(const Window &w) {
    RECT r{};
    if (!w.modal && w.hwnd && IsWindowVisible(w.hwnd) && GetWindowRect(w.hwnd, &r))
        workspace_.leave(w.dialog->id, screenRect(r));
}

void Win32WindowLayer::arrangeWindows() {
    std::vector<HWND> tools;
    std::vector<ScreenRect> outer;
    for (const auto &[id, w] : book_.all()) {
        RECT r{};
        if (!w->open || w->modal || !w->hwnd || !IsWindowVisible(w->hwnd) || !GetWindowRect(w->hwnd, &r)) continue;
        tools.push_back(w->hwnd);
        outer.push_back(screenRect(r));
    }
    const std::vector<ScreenRect> placed =
        Workspace::arrange(surroundings(MonitorFromWindow(frame_, MONITOR_DEFAULTTOPRIMARY)), outer);
    for (size_t i = 0; i < tools.size(); ++i)
        SetWindowPos(tools[i], nullptr, placed[i].x, placed[i].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK Win32WindowLayer::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *w = reinterpret_cast<Window *>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        w->layer->initDialog(*w, hwnd);
        if (!w->open || w->initialFocus == kNoId) return TRUE; // the first stop takes the focus
        w->initialFocus = kNoId;
        return FALSE; // the procedure has put the focus
    }
    auto *w = reinterpret_cast<Window *>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!w) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        w->hwnd = nullptr;
        for (Control &c : w->controls) c.hwnd = nullptr;
        return FALSE;
    }
    return w->layer->dialogMessage(*w, message, wParam, lParam);
}

void Win32WindowLayer::initDialog(Window &w, HWND hwnd) {
    w.hwnd = hwnd;
    const DialogTemplate &dialog = *w.dialog;
    w.controls.clear();
    for (std::size_t index = 0; index < dialog.controls.size(); ++index) {
        Control c;
        c.source = &dialog.controls[index];
        c.hwnd = GetDlgItem(hwnd, builtControlId(dialog, index));
        c.image = c.source->bitmap;
        if (scrollsItsText(*c.source)) showScrollBarWhenNeeded(c.hwnd);
        w.controls.push_back(c);
    }
    const UINT dpi = dpiOf(hwnd);
    for (Control &c : w.controls) {
        if (c.source->kind == ControlKind::Picture) showPicture(c, dpi);
        if (c.source->kind == ControlKind::ListBox && c.hwnd) {
            // One column, no header: a row is one line of text.
            SendMessageW(c.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
            LVCOLUMNW column{};
            column.mask = LVCF_WIDTH;
            SendMessageW(c.hwnd, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
            fitList(w, c, dpi);
        }
    }
    send(w.id, {MessageKind::Init});
    if (!w.open) return;
    for (std::size_t index = 0; index < dialog.controls.size(); ++index)
        if (dialog.controls[index].kind == ControlKind::RadioButton) updateRadioTabStops(w, index);
    if (w.modal) {
        if (!(dialog.style & kDialogCentred)) {
            // Over the middle of the window that opened it.
            RECT owner{}, box{};
            GetWindowRect(ownerHandle(w.owner), &owner);
            GetWindowRect(hwnd, &box);
            const int width = box.right - box.left, height = box.bottom - box.top;
            const RECT area = workArea(MonitorFromRect(&owner, MONITOR_DEFAULTTONEAREST));
            const int x = std::clamp<int>((owner.left + owner.right - width) / 2, area.left,
                                          std::max<int>(area.left, area.right - width));
            const int y = std::clamp<int>((owner.top + owner.bottom - height) / 2, area.top,
                                          std::max<int>(area.top, area.bottom - height));
            SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        PostMessageW(hwnd, kModalReady, 0, 0);
    }
    if (w.initialFocus != kNoId) {
        if (const Control *c = book_.control(w.id, w.initialFocus); c && c->hwnd) {
            SetFocus(c->hwnd);
            SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
        }
    }
}

INT_PTR Win32WindowLayer::dialogMessage(Window &w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: command(w, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_CLOSE:
        // The close box is command 2 to the procedure, which decides; a
        // window without one (Alt+F4) stays.
        if (w.dialog->style & kDialogSystemMenu) send(w.id, {MessageKind::Command, kCommandCancel});
        return TRUE;
    case WM_ACTIVATE: {
        const int state = LOWORD(wParam);
        const WindowId other = windowOf(reinterpret_cast<HWND>(lParam));
        if (state != WA_INACTIVE)
            book_.setActive(w.id);
        else if (book_.active() == w.id)
            book_.setActive(other);
        send(w.id, {MessageKind::Activate, 0, state, other});
        return FALSE; // the default activation handling still runs
    }
    case WM_DPICHANGED:
        for (Control &c : w.controls)
            if (c.source->kind == ControlKind::Picture) showPicture(c, LOWORD(wParam));
        PostMessageW(w.hwnd, kFitLists, LOWORD(wParam), 0);
        return FALSE;
    case kFitLists:
        for (Control &c : w.controls)
            if (c.source->kind == ControlKind::ListBox && c.hwnd)
                fitList(w, c, wParam ? static_cast<UINT>(wParam) : dpiOf(w.hwnd));
        return TRUE;
    case kWidenLists:
        for (Control &c : w.controls) {
            if (c.source->kind != ControlKind::ListBox || !c.hwnd || !c.widening) continue;
            c.widening = false;
            fitColumn(c);
        }
        return TRUE;
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->code != LVN_GETDISPINFOW) return FALSE;
        for (Control &c : w.controls)
            if (c.hwnd == header->hwndFrom && c.source->kind == ControlKind::ListBox &&
                showRow(c, *reinterpret_cast<NMLVDISPINFOW *>(lParam)))
                PostMessageW(w.hwnd, kWidenLists, 0, 0);
        return TRUE;
    }
    case kModalReady:
        if (!w.open || !onModal) return TRUE;
        // The box's loop shows it once its first messages are handled; it
        // is shown now, as the player gets it.
        if (!IsWindowVisible(w.hwnd)) ShowWindow(w.hwnd, SW_SHOW);
        onModal(w.id);
        return TRUE;
    default: return FALSE;
    }
}

void Win32WindowLayer::command(Window &w, int id, int code, HWND control) {
    if (!control) {
        // From the box's own loop: Enter (1 without a default button) and
        // Escape (2); a tool window's loop passes neither on.
        if (code == 0 || code == 1) send(w.id, {MessageKind::Command, id});
        return;
    }
    const auto c =
        std::find_if(w.controls.begin(), w.controls.end(), [control](const Control &x) { return x.hwnd == control; });
    if (c == w.controls.end() || c->source->id == kNoId) return;
    const ControlKind kind = c->source->kind;
    bool sends = false;
    if (isButton(kind)) {
        sends = code == BN_CLICKED;
        if (sends && kind == ControlKind::RadioButton)
            updateRadioTabStops(w, static_cast<std::size_t>(c - w.controls.begin()));
    } else if (kind == ControlKind::DropDownList) {
        sends = code == CBN_SELCHANGE || code == CBN_SETFOCUS;
    } else if (kind == ControlKind::EditBox) {
        sends = code == EN_CHANGE && !settingText_;
    }
    if (sends) send(w.id, {MessageKind::Command, c->source->id});
}

// The Tab key stops at a radio group's checked button, or at its first when
// none is checked; the arrow keys move within the group.
void Win32WindowLayer::updateRadioTabStops(const Window &w, std::size_t index) {
    const auto [first, end] = w.dialog->groupOf(index);
    HWND firstRadio = nullptr, checked = nullptr;
    for (std::size_t i = first; i < end; ++i) {
        const Control &c = w.controls[i];
        if (c.source->kind != ControlKind::RadioButton || !c.hwnd) continue;
        if (!firstRadio) firstRadio = c.hwnd;
        if (!checked && SendMessageW(c.hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED) checked = c.hwnd;
    }
    const HWND stop = checked ? checked : firstRadio;
    for (std::size_t i = first; i < end; ++i) {
        const Control &c = w.controls[i];
        if (c.source->kind != ControlKind::RadioButton || !c.hwnd) continue;
        const LONG_PTR style = GetWindowLongPtrW(c.hwnd, GWL_STYLE);
        SetWindowLongPtrW(c.hwnd, GWL_STYLE, c.hwnd == stop ? style | WS_TABSTOP : style & ~LONG_PTR(WS_TABSTOP));
    }
}

void Win32WindowLayer::activate(WindowId window) {
    HWND hwnd = handle(window);
    if (!hwnd || !isOpen(window)) return;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    // In front of our other windows as well as active: Wine restacks an
    // activated window only later, if its display driver does at all, and a
    // covered window stayed covered.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
}

bool Win32WindowLayer::isOpen(WindowId window) const {
    if (window == kFrameWindow) return !book_.frameClosed() && frame_;
    return book_.isOpen(window);
}

HWND Win32WindowLayer::handle(WindowId window) const {
    if (window == kFrameWindow) return frame_;
    const Window *w = book_.find(window);
    return w && w->open ? w->hwnd : nullptr;
}

HWND Win32WindowLayer::controlHandle(WindowId window, int control) const {
    const Control *c = book_.control(window, control);
    return c ? c->hwnd : nullptr;
}

WindowId Win32WindowLayer::windowOf(HWND window) const {
    if (!window) return kNoWindow;
    if (window == frame_) return kFrameWindow;
    for (const auto &[id, w] : book_.all())
        if (w->hwnd == window) return id;
    return kNoWindow;
}

int Win32WindowLayer::templateOf(WindowId window) const {
    const Window *w = book_.find(window);
    return w ? w->dialog->id : 0;
}

WindowId Win32WindowLayer::newestWindow(int templateId) const { return book_.newest(templateId); }

} // namespace treva
