#include "platform/win32/win32_drive.h"

#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <sstream>
#include <string_view>
#include <utility>

#include "drive/drive.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window_layer.h"
#include "resources/dialogs.h"
#include "ui/app.h"
#include "ui/frame.h"

namespace treva {
namespace {

// What the window system does between two inputs of a person: activation,
// focus, painting. Bounded, in case something keeps posting.
void processQueued(Win32WindowLayer &layer) {
    MSG message{};
    for (int n = 0; n < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (message.message == WM_QUIT) { // not ours to take
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        layer.handleMessage(message);
    }
}

bool isList(HWND hwnd) {
    wchar_t name[16] = L"";
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0;
}

bool droppedDown(HWND list) { return isList(list) && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0); }

POINT centreOf(const RECT &r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT centreOf(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return centreOf(r);
}

// What of `window` lies under a point of the screen for the mouse: the
// topmost child there that is shown and answers the hit test, and in it the
// same again. A disabled control keeps the click from what lies below it and
// leaves it to its window; a text lets it through.
HWND underMouse(HWND window, POINT at) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        if (!IsWindowVisible(child) || !GetWindowRect(child, &r) || !PtInRect(&r, at)) continue;
        if (!IsWindowEnabled(child)) return window;
        if (SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTTRANSPARENT) continue;
        return underMouse(child, at);
    }
    return window;
}

// The left mouse button at a point of the screen over `window`, in front as
// for a person who clicks it: to the window that holds the mouse (a
// dropped-down list), else to what of `window` lies under the point.
void mouseButton(UINT message, HWND window, POINT at) {
    HWND receiver = GetCapture();
    if (!receiver) receiver = underMouse(window, at);
    POINT client = at;
    ScreenToClient(receiver, &client);
    const WPARAM held = message == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
    SendMessageW(receiver, message, held, MAKELPARAM(client.x, client.y));
}

// A left click: pressed and let go at once, at the same point.
void mouseClick(HWND window, POINT at) {
    mouseButton(WM_LBUTTONDOWN, window, at);
    mouseButton(WM_LBUTTONUP, window, at);
}

// A key pressed and let go, for the window that has the keyboard.
void key(UINT virtualKey, wchar_t typed = 0) {
    HWND focus = GetFocus();
    if (!focus) return;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    SendMessageW(focus, WM_KEYDOWN, virtualKey, scan | 1);
    if (typed) SendMessageW(focus, WM_CHAR, typed, scan | 1);
    SendMessageW(focus, WM_KEYUP, virtualKey, scan | 1 | (LPARAM(1) << 30) | (LPARAM(1) << 31));
}

// A character that some key types. The control characters (U+0000 to
// U+001F, U+007F to U+009F) come from no key that types (Ctrl+H is
// Backspace, Ctrl+I is Tab): typing a text leaves them out.
bool typeable(wchar_t c) { return c >= 0x20 && (c < 0x7F || c > 0x9F); }

class Win32DriveTarget : public LayerDriveTarget<Win32WindowLayer> {
public:
    using LayerDriveTarget::LayerDriveTarget;

    // A list that the click drops down closes again with Escape: the click
    // chooses nothing.
    void click(WindowId window, int control) override {
        HWND target = handle(window, control);
        mouseClick(GetAncestor(target, GA_ROOT), centreOf(target));
        if (droppedDown(target)) {
            key(VK_ESCAPE, L'\x1b');
            shut(target);
        }
        modalErrors_.rethrow();
    }

    // The list drops down under the mouse; its scroll arrows bring the item
    // into view, and a click on it chooses it.
    void choose(WindowId window, int control, int item) override {
        HWND list = handle(window, control);
        mouseClick(GetAncestor(list, GA_ROOT), centreOf(list));
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        if (droppedDown(list) && GetComboBoxInfo(list, &info) && info.hwndList) { // a disabled list stays shut
            HWND items = info.hwndList;
            RECT shown{}, r{};
            GetClientRect(items, &shown);
            for (int scrolled = 0; scrolled <= itemCount(window, control); ++scrolled) {
                SendMessageW(items, LB_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
                if (r.top >= shown.top && r.bottom <= shown.bottom) break;
                SendMessageW(items, WM_VSCROLL, r.top < shown.top ? SB_LINEUP : SB_LINEDOWN, 0);
            }
            POINT at = centreOf(r);
            ClientToScreen(items, &at);
            mouseClick(items, at);
            shut(list);
        }
        modalErrors_.rethrow();
    }

    // A click into the box, all its text selected (as when the focus comes
    // to it by Tab) and deleted with Backspace, then the text, character by
    // character.
    void type(WindowId window, int control, std::string_view text) override {
        HWND edit = handle(window, control);
        mouseClick(GetAncestor(edit, GA_ROOT), centreOf(edit));
        if (GetFocus() == edit) { // a disabled box takes no focus
            SendMessageW(edit, EM_SETSEL, 0, -1);
            key(VK_BACK, L'\b');
            for (const wchar_t c : fromCp1252(text))
                if (typeable(c) && GetFocus() == edit) SendMessageW(edit, WM_CHAR, c, 1);
        }
        modalErrors_.rethrow();
    }

    bool closeBox(WindowId window) override {
        HWND hwnd = layer_.handle(window);
        if (!hwnd || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU)) return false;
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        modalErrors_.rethrow();
        return true;
    }

    void setModalHandler(std::function<void(WindowId box)> handler) override {
        if (!handler) {
            layer_.onModal = nullptr;
            return;
        }
        layer_.onModal = [this, guarded = modalErrors_.guard(std::move(handler))](WindowId box) {
            guarded(box);
            // The script has ended with the box up: it stays so, and the
            // procedure that opened it goes on.
            if (layer_.isOpen(box)) layer_.leaveModalLoop(box);
        };
    }

    void settle() override { processQueued(layer_); }

    bool isOpen(WindowId window) const override {
        HWND hwnd = layer_.handle(window);
        return hwnd && IsWindowVisible(hwnd);
    }

    int templateOf(WindowId window) const override { return layer_.templateOf(window); }

    int itemCount(WindowId window, int control) const override {
        HWND list = handle(window, control);
        const LRESULT count = isList(list) ? SendMessageW(list, CB_GETCOUNT, 0, 0) : 0;
        return count == CB_ERR ? 0 : static_cast<int>(count);
    }

    ControlView read(WindowId window, const ControlTemplate &control) const override {
        HWND hwnd = handle(window, control.id);
        ControlView view;
        view.text = layer_.text(window, control.id);
        view.enabled = IsWindowEnabled(hwnd) != FALSE;
        if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton)
            view.checked = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (isList(hwnd)) {
            const int count = itemCount(window, control.id);
            for (int i = 0; i < count; ++i) {
                const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
                std::wstring item(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
                const LRESULT got =
                    SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
                item.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
                view.items.push_back(toCp1252(item));
            }
            const LRESULT selected = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
            view.selection = selected == CB_ERR ? -1 : static_cast<int>(selected);
        }
        view.image = layer_.image(window, control.id);
        return view;
    }

private:
    // A window's control; an ended window's are kept, hidden, with their
    // last state.
    HWND handle(WindowId window, int control) const {
        HWND hwnd = layer_.controlHandle(window, control);
        if (!hwnd || !IsWindow(hwnd))
            throw DriveError("control " + std::to_string(control) + " of window " +
                             std::to_string(layer_.templateOf(window)) + " is gone");
        return hwnd;
    }

    // The list's drop-down has closed, as it does after a choice or Escape.
    static void shut(HWND list) {
        if (droppedDown(list)) throw DriveError("a drop-down list has not closed");
    }
};

// A desktop of the program's own, made before its first window: the windows
// there are real and take input, and no person sees them (Wine shows them on
// its X display all the same). Clicks at a point of the screen find only its
// windows, whatever else runs at the same time. Where it cannot be made the
// windows show on the person's desktop.
void useHiddenDesktop() {
    const std::wstring name = L"treva-drive-" + std::to_wstring(GetCurrentProcessId());
    HDESK desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop && !SetThreadDesktop(desktop)) CloseDesktop(desktop);
}

// What every drive needs of the process: output as bytes, as treva-cli
// writes it (no carriage returns added), a desktop of its own and COM.
class DriveProcess {
public:
    DriveProcess() {
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
        std::ios::sync_with_stdio(false);
        useHiddenDesktop();
        ready_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        if (!ready_) std::cerr << "treva: cannot start COM\n";
    }
    ~DriveProcess() {
        std::cout.flush();
        std::cerr.flush();
        if (ready_) CoUninitialize();
    }
    DriveProcess(const DriveProcess &) = delete;
    DriveProcess &operator=(const DriveProcess &) = delete;
    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

// The real windows of one drive, kept after they end so that they can be
// read.
class Win32DriveWindows : public DriveWindows {
public:
    explicit Win32DriveWindows(HINSTANCE instance) : layer_(instance), app_(layer_), target_(layer_, app_) {
        layer_.keepEndedWindows = true;
        layer_.onCommand = [this](int command) { frameCommand(app_, command); };
    }
    DriveTarget &target() override { return target_; }
    void show() override { layer_.show(); }

private:
    Win32WindowLayer layer_;
    App app_;
    Win32DriveTarget target_;
};

// One drive, from a program that has just started to its output: a fresh
// frame and windows, gone again when it returns.
int driveOnce(HINSTANCE instance, const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
    const int status =
        runDriveSession("treva", args, out, err, [instance] { return std::make_unique<Win32DriveWindows>(instance); });
    // What the windows left queued goes with them.
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
        if (message.message != WM_QUIT) DispatchMessageW(&message);
    return status;
}

} // namespace

int runDesktopDrive(HINSTANCE instance, const std::vector<std::string> &args) {
    const DriveProcess process;
    return process.ready() ? driveOnce(instance, args, std::cout, std::cerr) : 2;
}

int runDesktopDriveBatch(HINSTANCE instance) {
    const DriveProcess process;
    if (!process.ready()) return 2;
    return runDriveBatch("treva", std::cin, std::cout, std::cerr,
                         [instance](const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
                             return driveOnce(instance, args, out, err);
                         });
}

} // namespace treva
