#include "platform/win32/win32_window_layer.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/bar_chart.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/wide_text.h"
#include "resources/menu.h"

namespace treva {
namespace {

constexpr wchar_t kFrameClass[] = L"TREVA! A VENK Assistant";
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW;
// The document area's child id, and the id its children would start from.
constexpr int kDocumentAreaId = 1;
constexpr UINT kFirstDocumentId = 100;
// Posted to a modal box once it is built: its own loop then runs, and the
// box takes input.
constexpr UINT kModalReady = WM_APP + 1;
// Posted to a window whose screen scale has changed, once the dialog has
// resized its controls: the list boxes take their font and width again.
constexpr UINT kFitLists = WM_APP + 2;
// The list boxes' font: fixed width, as the rows line their columns up with
// spaces.
constexpr wchar_t kFixedFontFace[] = L"Consolas";

bool isButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::RadioButton;
}

std::wstring windowText(HWND hwnd) {
    if (!hwnd) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

UINT dpiOf(HWND hwnd) {
    const UINT dpi = hwnd ? GetDpiForWindow(hwnd) : 0;
    return dpi ? dpi : 96;
}

ScreenRect screenRect(const RECT &r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

RECT workArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

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

// While a box is up, the program's other windows take no input: each one
// enabled now is disabled, and enabled again when the box ends.
class Win32WindowLayer::ModalScope {
public:
    ModalScope(Win32WindowLayer &layer, HWND owner) : disabled_(layer.disableOthers(owner)) {}
    ~ModalScope() {
        for (HWND hwnd : disabled_) EnableWindow(hwnd, TRUE);
    }
    ModalScope(const ModalScope &) = delete;
    ModalScope &operator=(const ModalScope &) = delete;

private:
    std::vector<HWND> disabled_;
};

// ---------------------------------------------------------------------------
// The frame

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
        if (onCommand)
            onCommand(kCmdExit);
        else
            closeFrame();
        return 0;
    case WM_QUERYENDSESSION: return onEndSession ? onEndSession() : TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            active_ = kFrameWindow;
        else if (active_ == kFrameWindow)
            active_ = windowOf(reinterpret_cast<HWND>(lParam));
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
    if (frameClosed_ || !frame_) return 0;
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
        const Window *w = find(window);
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
    if (frameClosed_) return;
    frameClosed_ = true;
    // The frame takes its windows with it; a running box ends with 0.
    for (auto &[id, w] : windows_) {
        if (!w->open) continue;
        w->open = false;
        if (!w->hwnd) continue;
        if (w->modal) {
            for (HWND hwnd : w->disabled) EnableWindow(hwnd, TRUE);
            w->disabled.clear();
        }
        DestroyWindow(w->hwnd);
    }
    if (frame_) DestroyWindow(frame_);
}

// ---------------------------------------------------------------------------
// Windows from templates

Win32WindowLayer::Window *Win32WindowLayer::find(WindowId window) {
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

const Win32WindowLayer::Window *Win32WindowLayer::find(WindowId window) const {
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

Win32WindowLayer::Control *Win32WindowLayer::findControl(WindowId window, int control) {
    Window *w = find(window);
    if (!w || control == kNoId) return nullptr;
    for (Control &c : w->controls)
        if (c.source->id == control) return &c;
    return nullptr;
}

const Win32WindowLayer::Control *Win32WindowLayer::findControl(WindowId window, int control) const {
    return const_cast<Win32WindowLayer *>(this)->findControl(window, control);
}

HWND Win32WindowLayer::ownerHandle(WindowId owner) const {
    const Window *w = find(owner);
    return w && w->open && w->hwnd ? w->hwnd : frame_;
}

HWND Win32WindowLayer::dialogOwner() const {
    if (active_ != kFrameWindow)
        if (HWND hwnd = handle(active_)) return hwnd;
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
    for (const auto &[id, w] : windows_)
        if (w->open) disable(w->hwnd);
    return disabled;
}

void Win32WindowLayer::send(WindowId window, const Message &message) {
    Window *w = find(window);
    if (!w || !w->open || !w->proc) return;
    WindowProc proc = w->proc; // the procedure may end its window while it runs
    proc(window, message);
}

Win32WindowLayer::Window *Win32WindowLayer::create(int templateId, WindowId owner, WindowProc proc, bool modal) {
    const DialogTemplate *dialog = findDialogTemplate(templateId);
    if (!dialog || frameClosed_) return nullptr;
    auto record = std::make_unique<Window>();
    record->layer = this;
    record->id = next_++;
    record->dialog = dialog;
    record->proc = std::move(proc);
    record->owner = owner;
    record->modal = modal;
    Window *w = record.get();
    windows_[w->id] = std::move(record);
    return w;
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
    Window *w = find(box);
    if (w && w->open && w->modal) w->loopLeft = true;
}

const Win32WindowLayer::Window *Win32WindowLayer::runningBox() const {
    for (auto it = boxLoops_.rbegin(); it != boxLoops_.rend(); ++it)
        if (const Window *w = find(*it); w && w->open && !w->loopLeft) return w;
    return nullptr;
}

void Win32WindowLayer::endWindow(WindowId window, int result) {
    Window *w = find(window);
    if (!w || !w->open) return;
    w->open = false;
    w->result = result;
    if (active_ == window) active_ = isOpen(w->owner) ? w->owner : kFrameWindow;
    if (!w->hwnd) return;
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
    RECT r{};
    if (GetWindowRect(w->hwnd, &r) && IsWindowVisible(w->hwnd))
        lastPosition_[w->dialog->id] = {r.left, r.top}; // it comes back there
    if (keepEndedWindows)
        ShowWindow(w->hwnd, SW_HIDE);
    else
        DestroyWindow(w->hwnd);
}

void Win32WindowLayer::place(const Window &w) const {
    RECT outer{}, frame{};
    GetWindowRect(w.hwnd, &outer);
    GetWindowRect(frame_, &frame);
    std::optional<ScreenPoint> remembered;
    HMONITOR monitor = MonitorFromWindow(frame_, MONITOR_DEFAULTTOPRIMARY);
    if (const auto it = lastPosition_.find(w.dialog->id); it != lastPosition_.end()) {
        remembered = it->second;
        monitor = MonitorFromPoint({it->second.x, it->second.y}, MONITOR_DEFAULTTONEAREST);
    }
    const ScreenRect size = screenRect(outer);
    const ScreenPoint at =
        toolWindowPosition(screenRect(workArea(monitor)), screenRect(frame), {size.width, size.height}, remembered);
    SetWindowPos(w.hwnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

namespace {
void showScrollBarWhenNeeded(HWND box);
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
        if (const Control *c = findControl(w.id, w.initialFocus); c && c->hwnd) {
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
            active_ = w.id;
        else if (active_ == w.id)
            active_ = other;
        send(w.id, {MessageKind::Activate, 0, state, other});
        return FALSE; // the default activation handling still runs
    }
    case WM_DPICHANGED:
        for (Control &c : w.controls)
            if (c.source->kind == ControlKind::Picture) showPicture(c, LOWORD(wParam));
        PostMessageW(w.hwnd, kFitLists, 0, 0);
        return FALSE;
    case kFitLists:
        for (const Control &c : w.controls)
            if (c.source->kind == ControlKind::ListBox && c.hwnd) fitList(w, c, dpiOf(w.hwnd));
        return TRUE;
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->code != LVN_GETDISPINFOW) return FALSE;
        for (const Control &c : w.controls)
            if (c.hwnd == header->hwndFrom && c.source->kind == ControlKind::ListBox)
                showRow(c, *reinterpret_cast<NMLVDISPINFOW *>(lParam));
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

// The font, as high as the dialog's at this scale, and one column as wide
// as the list less its scroll bar, shown or not: the rows never scroll
// sideways.
void Win32WindowLayer::fitList(const Window &w, const Control &c, UINT dpi) {
    SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont(w.dialog->pointSize, dpi)), TRUE);
    RECT client{};
    GetClientRect(c.hwnd, &client);
    int width = client.right - client.left;
    if (!(GetWindowLongPtrW(c.hwnd, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
    SendMessageW(c.hwnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(width, 0), 0));
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

void Win32WindowLayer::showRow(const Control &c, NMLVDISPINFOW &info) const {
    LVITEMW &item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    if (!c.row || item.iSubItem != 0 || item.iItem < 0 || item.iItem >= c.rowCount) return;
    lstrcpynW(item.pszText, fromCp1252(c.row(item.iItem)).c_str(), item.cchTextMax);
}

// ---------------------------------------------------------------------------
// Windows and controls

void Win32WindowLayer::activate(WindowId window) {
    HWND hwnd = handle(window);
    if (!hwnd || !isOpen(window)) return;
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
}

bool Win32WindowLayer::isOpen(WindowId window) const {
    if (window == kFrameWindow) return !frameClosed_ && frame_;
    const Window *w = find(window);
    return w && w->open;
}

namespace {

// The scroll bar of a read-only text box only while its text is longer
// than the box, as the other front ends show theirs.
void showScrollBarWhenNeeded(HWND box) {
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

} // namespace

void Win32WindowLayer::setText(WindowId window, int control, std::string_view text) {
    const Control *c = findControl(window, control);
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
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind == ControlKind::Picture) return {};
    const std::wstring shown = windowText(c->hwnd);
    return c->source->kind == ControlKind::Text ? programText(shown) : toCp1252(shown);
}

void Win32WindowLayer::setChecked(WindowId window, int control, bool checked) {
    Window *w = find(window);
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd) return;
    const ControlKind kind = c->source->kind;
    if (kind != ControlKind::CheckBox && kind != ControlKind::RadioButton) return;
    SendMessageW(c->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (kind == ControlKind::RadioButton) updateRadioTabStops(*w, static_cast<std::size_t>(c - w->controls.data()));
}

bool Win32WindowLayer::isChecked(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    return c && c->hwnd && isButton(c->source->kind) && SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32WindowLayer::setEnabled(WindowId window, int control, bool enabled) {
    const Control *c = findControl(window, control);
    if (c && c->hwnd) EnableWindow(c->hwnd, enabled);
}

void Win32WindowLayer::addItem(WindowId window, int control, std::string_view item) {
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return;
    SendMessageW(c->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fromCp1252(item).c_str()));
}

void Win32WindowLayer::setSelection(WindowId window, int control, int index) {
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return;
    const int count = static_cast<int>(SendMessageW(c->hwnd, CB_GETCOUNT, 0, 0));
    SendMessageW(c->hwnd, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

int Win32WindowLayer::selection(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::DropDownList) return -1;
    const LRESULT selected = SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? -1 : static_cast<int>(selected);
}

void Win32WindowLayer::setImage(WindowId window, int control, int bitmapId) {
    Control *c = findControl(window, control);
    if (!c) return;
    c->image = bitmapId;
    if (c->source->kind == ControlKind::Picture) showPicture(*c, dpiOf(c->hwnd));
}

int Win32WindowLayer::image(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::Picture) return 0;
    // The picture the control shows, known by the bitmap this layer gave it.
    const auto shown = reinterpret_cast<HBITMAP>(SendMessageW(c->hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (!shown) return 0;
    for (const auto &[key, bitmap] : bitmaps_)
        if (bitmap == shown) return key.first;
    return 0;
}

void Win32WindowLayer::focusAndSelectAll(WindowId window, int control) {
    Window *w = find(window);
    const Control *c = findControl(window, control);
    if (!w || !c || !c->hwnd) return;
    if (!IsWindowVisible(w->hwnd)) {
        w->initialFocus = control; // takes the focus as the window opens
        return;
    }
    SetFocus(c->hwnd);
    if (c->source->kind == ControlKind::EditBox) SendMessageW(c->hwnd, EM_SETSEL, 0, -1);
}

void Win32WindowLayer::setRows(WindowId window, int control, int count, std::function<std::string(int)> row) {
    Control *c = findControl(window, control);
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
    InvalidateRect(c->hwnd, nullptr, TRUE); // the same count may hold other rows
}

std::vector<int> Win32WindowLayer::selectedRows(WindowId window, int control) const {
    const Control *c = findControl(window, control);
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
    const Control *c = findControl(window, control);
    if (c && c->hwnd && c->source->kind == ControlKind::BarChart) setChartBars(c->hwnd, bars);
}

std::vector<ChartBar> Win32WindowLayer::chart(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    if (!c || !c->hwnd || c->source->kind != ControlKind::BarChart) return {};
    return chartBars(c->hwnd);
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

// ---------------------------------------------------------------------------
// Questions, messages and file dialogs

namespace {

HRESULT CALLBACK messageBoxCallback(HWND hwnd, UINT notification, WPARAM, LPARAM, LONG_PTR data) {
    if (notification == TDN_CREATED) {
        const auto *hook = reinterpret_cast<const std::function<void(HWND)> *>(data);
        if (*hook) (*hook)(hwnd);
    }
    return S_OK;
}

} // namespace

int Win32WindowLayer::messageBox(std::wstring_view title, std::wstring_view text, bool question) {
    const HWND owner = dialogOwner();
    const ModalScope scope(*this, owner);
    const std::wstring caption(title), content(text);
    const TASKDIALOG_BUTTON answers[] = {{IDYES, L"Save"}, {IDNO, L"Don't Save"}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.hInstance = instance_;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = caption.c_str();
    config.pszMainIcon = question ? TD_WARNING_ICON : TD_ERROR_ICON;
    if (question) {
        config.pszMainInstruction = content.c_str();
        config.pButtons = answers;
        config.cButtons = 2;
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.nDefaultButton = IDYES;
    } else {
        config.pszContent = content.c_str();
        config.dwCommonButtons = TDCBF_OK_BUTTON;
    }
    config.pfCallback = messageBoxCallback;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(&onMessageBox);
    int pressed = IDCANCEL;
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) {
        // Without the task dialog (older common controls): the plain box.
        pressed = MessageBoxW(owner, content.c_str(), caption.c_str(),
                              question ? MB_YESNOCANCEL | MB_ICONWARNING : MB_OK | MB_ICONERROR);
    }
    return pressed;
}

WindowLayer::SaveAnswer Win32WindowLayer::askSaveChanges(std::string_view name) {
    const std::wstring question = L"Save changes to " + widenUtf8(name) + L"?";
    switch (messageBox(L"TREVA!", question, true)) {
    case IDYES: return SaveAnswer::Save;
    case IDNO: return SaveAnswer::DontSave;
    default: return SaveAnswer::Cancel;
    }
}

void Win32WindowLayer::showError(std::string_view title, std::string_view text) {
    messageBox(widenUtf8(title), withLineBreaks(widenUtf8(text)), false);
}

bool Win32WindowLayer::openDocument(std::string_view path) { return shellOpen(widenUtf8(path)); }

namespace {

// Treva files or all files; the list ends with an empty text.
constexpr wchar_t kFileFilter[] = L"Treva Files (*.TRV)\0*.trv\0All Files (*.*)\0*.*\0";
constexpr DWORD kLongestPath = 32768;

} // namespace

std::optional<std::string> Win32WindowLayer::askOpenPath(std::string_view startName) {
    return askPath(false, startName);
}

std::optional<std::string> Win32WindowLayer::askSavePath(std::string_view proposedName) {
    return askPath(true, proposedName);
}

std::optional<std::string> Win32WindowLayer::askPath(bool save, std::string_view name) {
    const HWND owner = dialogOwner();
    const ModalScope scope(*this, owner);
    std::wstring file = widenUtf8(name);
    file.resize(kLongestPath, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kLongestPath;
    dialog.lpstrDefExt = L"trv";
    // Open asks before it accepts a name that does not exist; Save As before
    // it replaces a file.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST : OFN_CREATEPROMPT);
    const bool chosen =
        fileDialog ? fileDialog(dialog, save) : (save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)) != FALSE;
    if (!chosen) return std::nullopt;
    return narrowUtf8(file.c_str());
}

// ---------------------------------------------------------------------------
// Accessors

HWND Win32WindowLayer::handle(WindowId window) const {
    if (window == kFrameWindow) return frame_;
    const Window *w = find(window);
    return w && w->open ? w->hwnd : nullptr;
}

HWND Win32WindowLayer::controlHandle(WindowId window, int control) const {
    const Control *c = findControl(window, control);
    return c ? c->hwnd : nullptr;
}

WindowId Win32WindowLayer::windowOf(HWND window) const {
    if (!window) return kNoWindow;
    if (window == frame_) return kFrameWindow;
    for (const auto &[id, w] : windows_)
        if (w->hwnd == window) return id;
    return kNoWindow;
}

int Win32WindowLayer::templateOf(WindowId window) const {
    const Window *w = find(window);
    return w ? w->dialog->id : 0;
}

WindowId Win32WindowLayer::newestWindow(int templateId) const {
    WindowId newest = kNoWindow;
    for (const auto &[id, w] : windows_)
        if (w->dialog->id == templateId) newest = id;
    return newest;
}

} // namespace treva
