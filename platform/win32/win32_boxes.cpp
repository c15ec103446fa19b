// The Win32 window layer's message boxes, its question whether to save,
// and the common dialogs that ask for a file to open or save.
#include "platform/win32/win32_window_layer.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"

namespace treva {

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

} // namespace treva
