// The per-user classes in the Windows registry, HKEY_CURRENT_USER\Software\Classes:
// a normal user may write there, and they override the machine-wide classes
// for this user only.
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "platform/win32/file_type_registry.h"
#include "platform/win32/wide_text.h"

namespace treva {

namespace {

std::wstring classKey(const std::string &path) { return L"Software\\Classes\\" + widenUtf8(path); }

std::string runningProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return narrowUtf8(path.substr(0, n));
        path.resize(path.size() * 2); // truncated: a long path
    }
}

class WindowsRegistry final : public FileTypeRegistry {
public:
    bool createKey(const std::string &path, bool &existed) override {
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, classKey(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        existed = disposition == REG_OPENED_EXISTING_KEY;
        changed_ = changed_ || !existed;
        return true;
    }

    std::optional<std::string> readDefault(const std::string &path) override {
        const std::wstring key = classKey(path);
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring value(size / sizeof(wchar_t), L'\0');
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        value.resize(size / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0') value.pop_back(); // the terminator is counted
        return narrowUtf8(value);
    }

    bool writeDefault(const std::string &path, const std::string &value) override {
        // A value already there is left untouched: a later start writes nothing.
        if (readDefault(path) == value) return true;
        const std::wstring wide = widenUtf8(value);
        const DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)); // with the terminator
        if (RegSetKeyValueW(HKEY_CURRENT_USER, classKey(path).c_str(), nullptr, REG_SZ, wide.c_str(), size) !=
            ERROR_SUCCESS) {
            return false;
        }
        changed_ = true;
        return true;
    }

    // Whether a key was created or a value changed.
    bool changed() const { return changed_; }

private:
    bool changed_ = false;
};

} // namespace

FileTypeResult registerScenarioFileType() {
    WindowsRegistry registry;
    const FileTypeResult result =
        registerFileType(registry, ".trv", "trvfile", "TREVA file", runningProgramPath(), 1, RewriteOwn);
    // Explorer caches icons and verbs; it shows the new ones only when told.
    if (registry.changed()) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return result;
}

} // namespace treva
