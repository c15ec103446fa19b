// The Win32 window layer's frame: the menu, the toolbar strip, the
// accelerator, the empty document area, and the message loop.
#include "platform/win32/win32_window_layer.h"

#include <commctrl.h>
#include <shellapi.h>

#include "platform/win32/bar_chart.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_window_layer_internal.h"
#include "resources/menu.h"

namespace treva {

using win32_layer::dpiOf;
using win32_layer::workArea;

namespace {

constexpr wchar_t kFrameClass[] = L"TREVA! A VENK Assistant";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW;
// The document area's child id, and the id its children would start from.
constexpr int kDocumentAreaId = 1;
constexpr UINT kFirstDocumentId = 100;

// "Ctrl+H" or "F1" as the key a menu item's shortcut names; nullopt for
// another form.
std::optional<ACCEL> shortcutKey(const MenuItem &item) {
    constexpr std::string_view kCtrl = "Ctrl+";
    const std::string_view keys = item.shortcut ? item.shortcut : "";
    const WORD command = static_cast<WORD>(item.command);
    if (keys.size() == kCtrl.size() + 1 && keys.substr(0, kCtrl.size()) == kCtrl) {
        const char key = keys.back();
        if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) return std::nullopt;
        return ACCEL{FVIRTKEY | FCONTROL, static_cast<WORD>(key), command};
    }
    // A function key alone, F1 to F12.
    if (keys.size() < 2 || keys.size() > 3 || keys[0] != 'F') return std::nullopt;
    int number = 0;
    for (const char digit : keys.substr(1)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        number = number * 10 + (digit - '0');
    }
    if (number < 1 || number > 12) return std::nullopt;
    return ACCEL{FVIRTKEY, static_cast<WORD>(VK_F1 + number - 1), command};
}

bool isEnterOrEscape(const MSG &m) {
    return (m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_CHAR) &&
           (m.wParam == VK_RETURN || m.wParam == VK_ESCAPE);
}

} // namespace

Win32WindowLayer::Win32WindowLayer(HINSTANCE instance)
    : shellOpen([this](const std::wstring &path) {
          const HINSTANCE started = ShellExecuteW(frame_, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
          return reinterpret_cast<INT_PTR>(started) > 32; // as the function reports success
      }),
      instance_(instance) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    registerBarChartClass(instance);
    static const bool registered = [instance] {
        WNDCLASSEXW frameClass{};
        frameClass.cbSize = sizeof(frameClass);
        frameClass.style = CS_DBLCLKS;
        frameClass.lpfnWndProc = frameProc;
        frameClass.hInstance = instance;
        frameClass.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
        frameClass.hIconSm =
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kAppIcon), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
        frameClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
        frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        frameClass.lpszClassName = kFrameClass;
        return RegisterClassExW(&frameClass) != 0;
    }();
    (void)registered;
    buildFrame();
}

Win32WindowLayer::~Win32WindowLayer() {
    closeFrame();
    if (menu_ && !IsMenu(menu_)) menu_ = nullptr; // went with the frame
    if (menu_) DestroyMenu(menu_);
    if (accelerators_) DestroyAcceleratorTable(accelerators_);
    if (toolbarImages_) ImageList_Destroy(toolbarImages_);
    for (auto &[key, bitmap] : bitmaps_) DeleteObject(bitmap);
    for (auto &[key, font] : fixedFonts_) DeleteObject(font);
}

void Win32WindowLayer::buildFrame() {
    // Alt with the typed "O", with or without Shift; the menu's own keys.
    static_assert(kOpenAcceleratorChar == 'O');
    std::vector<ACCEL> keys = {{FALT, 'O', kCmdOpen}, {FALT, 'o', kCmdOpen}};

    menu_ = CreateMenu();
    for (const MenuPopup &popup : frameMenu()) {
        HMENU items = CreatePopupMenu();
        UINT position = 0;
        for (const MenuItem &item : popup.items) {
            if (!item.text) {
                AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
            } else {
                std::wstring text = fromCp1252(item.text);
                if (const std::optional<ACCEL> key = shortcutKey(item)) {
                    keys.push_back(*key);
                    text += L"\t" + fromCp1252(item.shortcut); // shown at the menu's right edge
                }
                AppendMenuW(items, MF_STRING | (item.grayed ? MF_GRAYED : 0u), static_cast<UINT_PTR>(item.command),
                            text.c_str());
                // By position: Save As shares command 0 with the separator.
                menuItems_[item.command] = {items, position};
            }
            ++position;
        }
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(items), fromCp1252(popup.title).c_str());
    }

    // The frame's loop translates them for every tool window too.
    accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));

    caption_ = fromCp1252(kUntitledCaption);
    frame_ = CreateWindowExW(kFrameExStyle, kFrameClass, caption_.c_str(), kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu_, instance_, this);
    if (!frame_) return;
    buildToolbar();
    fitFrame();
}

void Win32WindowLayer::buildToolbar() {
    toolbar_ =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
                        frame_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarBitmap)), instance_, nullptr);
    if (!toolbar_) return;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    const UINT dpi = dpiOf(frame_);
    const int size = MulDiv(kToolbarButtonSize, static_cast<int>(dpi), 96);
    if (HBITMAP strip = pictures_.load(kToolbarBitmap, dpi, GetSysColor(COLOR_BTNFACE))) {
        toolbarImages_ = ImageList_Create(size, size, ILC_COLOR24, 7, 0);
        ImageList_Add(toolbarImages_, strip, nullptr);
        DeleteObject(strip);
        SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
    } else {
        SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    }
    std::vector<TBBUTTON> buttons;
    for (const ToolbarButton &b : toolbarButtons()) {
        TBBUTTON button{};
        button.iBitmap = b.image;
        button.idCommand = b.command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON;
        buttons.push_back(button);
        toolbarNames_.push_back(fromCp1252(b.name));
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

// As wide as the frame's width at this screen's scale, as high as the menu
// and the strip: no blank band under them.
void Win32WindowLayer::fitFrame() {
    const UINT dpi = dpiOf(frame_);
    RECT strip{};
    if (toolbar_) GetWindowRect(toolbar_, &strip);
    RECT outer{0, 0, MulDiv(kFrameWidth, static_cast<int>(dpi), 96), strip.bottom - strip.top};
    AdjustWindowRectExForDpi(&outer, kFrameStyle, TRUE, kFrameExStyle, dpi);
    SetWindowPos(frame_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps takes a second line from the client area.
    RECT client{};
    GetClientRect(frame_, &client);
    const int missing = (strip.bottom - strip.top) - (client.bottom - client.top);
    if (missing != 0)
        SetWindowPos(frame_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32WindowLayer::show() {
    if (!frame_) return;
    // The frame, a strip of menu and toolbar, opens at the top of the screen
    // and leaves the room below it to the tool windows.
    const RECT area = workArea(MonitorFromWindow(frame_, MONITOR_DEFAULTTOPRIMARY));
    SetWindowPos(frame_, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(frame_, SW_SHOW);
    UpdateWindow(frame_);
}

LRESULT CALLBACK Win32WindowLayer::frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *layer = reinterpret_cast<Win32WindowLayer *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!layer) return DefWindowProcW(hwnd, message, wParam, lParam);
    return layer->frameMessage(hwnd, message, wParam, lParam);
}

LRESULT Win32WindowLayer::frameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        // The document area stays empty and takes no room: the tool windows
        // are windows of their own.
        CLIENTCREATESTRUCT area{nullptr, kFirstDocumentId};
        mdiClient_ =
            CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kDocumentAreaId)), instance_, &area);
        return 0;
    }
    case WM_COMMAND: // from the menu, the toolbar or the accelerator
        if (onCommand) onCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        auto *header = reinterpret_cast<NMHDR *>(lParam);
        if (header->code == TTN_GETDISPINFOW) {
            auto *tip = reinterpret_cast<NMTTDISPINFOW *>(lParam);
            const auto &buttons = toolbarButtons();
            for (std::size_t i = 0; i < buttons.size() && i < toolbarNames_.size(); ++i)
                if (static_cast<UINT_PTR>(buttons[i].command) == header->idFrom)
                    tip->lpszText = const_cast<wchar_t *>(toolbarNames_[i].c_str());
            return 0;
        }
        break;
    }
    case WM_SIZE: // the strip follows the frame; nothing else resizes
        if (toolbar_) SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
        return 0;
    case WM_CLOSE: // the close box, the system menu, Alt+F4: as Exit
        onCommand(kCmdExit);
        return 0;
    case WM_QUERYENDSESSION: return onEndSession ? onEndSession() : TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            book_.setActive(kFrameWindow);
        else if (book_.active() == kFrameWindow)
            book_.setActive(windowOf(reinterpret_cast<HWND>(lParam)));
        break;
    case WM_DPICHANGED: {
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (toolbar_) {
            DestroyWindow(toolbar_);
            if (toolbarImages_) ImageList_Destroy(toolbarImages_);
            toolbarImages_ = nullptr;
            toolbarNames_.clear();
            buildToolbar();
        }
        fitFrame();
        return 0;
    }
    case WM_DESTROY:
        if (running_) PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        frame_ = mdiClient_ = toolbar_ = nullptr;
        menu_ = nullptr; // destroyed with the frame
        break;
    default: break;
    }
    return DefFrameProcW(hwnd, mdiClient_, message, wParam, lParam);
}

int Win32WindowLayer::run() {
    if (book_.frameClosed() || !frame_) return 0;
    running_ = true;
    MSG message{};
    int status = 0;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            status = got == 0 ? static_cast<int>(message.wParam) : 1;
            break;
        }
        handleMessage(message);
    }
    running_ = false;
    return status;
}

void Win32WindowLayer::handleMessage(MSG &message) {
    if (const Window *box = runningBox()) {
        // A box's own loop: its dialog keys (Enter, Escape, Tab), none of the frame's.
        if (IsDialogMessageW(box->hwnd, &message)) return;
    } else {
        if (mdiClient_ && TranslateMDISysAccel(mdiClient_, &message)) return;
        if (frame_ && accelerators_ && TranslateAcceleratorW(frame_, accelerators_, &message)) return;
        // In a tool window Tab and the arrow keys move the focus as in any
        // dialog; Enter and Escape keep no dialog meaning there (a tool
        // window closes by its own buttons or its close box) and reach the
        // control.
        HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        const WindowId window = root && root != frame_ ? windowOf(root) : kNoWindow;
        const Window *w = book_.find(window);
        // A tool window that Escape closes hears it as its close box.
        if (w && w->open && !w->modal && (w->dialog->style & kDialogEscapeCloses) && message.message == WM_KEYDOWN &&
            message.wParam == VK_ESCAPE) {
            send(window, {MessageKind::Command, kCommandCancel});
            return;
        }
        if (w && w->open && !w->modal && !isEnterOrEscape(message) && IsDialogMessageW(root, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32WindowLayer::setFrameCaption(std::string_view caption) {
    caption_ = widenUtf8(caption);
    showCaption();
}

void Win32WindowLayer::setFrameModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    showCaption();
}

void Win32WindowLayer::showCaption() {
    if (frame_) SetWindowTextW(frame_, (modified_ ? caption_ + L"*" : caption_).c_str());
}

void Win32WindowLayer::setMenuItemEnabled(int command, bool enabled) {
    const auto it = menuItems_.find(command);
    if (it == menuItems_.end() || !frame_) return;
    EnableMenuItem(it->second.first, it->second.second, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32WindowLayer::closeFrame() {
    // The frame takes its windows with it; a running box ends with 0.
    const bool closing = book_.closeFrame([this](Window &w) {
        if (!w.hwnd) return;
        leave(w);
        if (w.modal) {
            for (HWND hwnd : w.disabled) EnableWindow(hwnd, TRUE);
            w.disabled.clear();
        }
        DestroyWindow(w.hwnd);
    });
    if (closing && frame_) DestroyWindow(frame_);
}

} // namespace treva
