#include "platform/win32/registry_settings.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace treva {
namespace {

// The key and the value a setting's name stands for.
std::pair<std::wstring, std::wstring> place(const std::wstring &root, const std::string &key) {
    std::wstring path = widenUtf8(key);
    const size_t last = path.rfind(L'/');
    const std::wstring value = last == std::wstring::npos ? path : path.substr(last + 1);
    path = last == std::wstring::npos ? std::wstring() : path.substr(0, last);
    for (wchar_t &c : path)
        if (c == L'/') c = L'\\';
    if (!path.empty() && path[0] >= L'a' && path[0] <= L'z') path[0] = static_cast<wchar_t>(path[0] - L'a' + L'A');
    return {path.empty() ? root : root + L"\\" + path, value};
}

} // namespace

std::optional<std::string> RegistrySettingsStore::read(const std::string &key) const {
    const auto [subkey, name] = place(root_, key);
    wchar_t text[256];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, subkey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return narrowUtf8(text);
}

void RegistrySettingsStore::write(const std::string &key, const std::string &value) {
    const auto [subkey, name] = place(root_, key);
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    const std::wstring text = widenUtf8(value);
    RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

} // namespace treva
