// The per-user classes in the Windows registry: HKEY_CURRENT_USER\Software\Classes.
// Per-user because a normal user may write there and it overrides the
// machine-wide classes for this user only.
#include <windows.h>

#include <cstring>

#include "shell/filetype/file_type.h"

namespace treva {

namespace {

std::wstring widen(const std::string &text) {
    if (text.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring &wide) {
    if (wide.empty()) {
        return {};
    }
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
    return text;
}

std::wstring classKey(const std::string &path) { return L"Software\\Classes\\" + widen(path); }

} // namespace

bool WindowsRegistry::createKey(const std::string &path, bool &existed) {
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

RegistryValue WindowsRegistry::readDefault(const std::string &path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, classKey(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    RegistryValue value;
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS rc = RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size);
    std::string bytes;
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        bytes.assign(size, '\0');
        rc = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(bytes.data()), &size);
        if (rc == ERROR_SUCCESS) {
            bytes.resize(size);
            break;
        }
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) {
        return value; // no default value
    }
    if (type == REG_SZ) {
        // The stored string may or may not count its terminator.
        std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
        while (!wide.empty() && wide.back() == L'\0') {
            wide.pop_back();
        }
        value.type = RegistryValueType::String;
        value.text = narrow(wide);
    } else {
        value.type = RegistryValueType::Other;
        value.text = bytes;
    }
    return value;
}

bool WindowsRegistry::writeDefault(const std::string &path, const std::string &value) {
    const RegistryValue before = readDefault(path);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, classKey(path).c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring wide = widen(value);
    const DWORD size = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)); // the terminator counts
    const bool ok =
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(wide.c_str()), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (ok && !(before.type == RegistryValueType::String && before.text == value)) {
        changed_ = true;
    }
    return ok;
}

} // namespace treva
