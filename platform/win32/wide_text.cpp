#include "platform/win32/wide_text.h"

#include <windows.h>

#include "state/text.h"

namespace treva {

std::wstring fromCp1252(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char c : bytes) text.push_back(static_cast<wchar_t>(cp1252ToUnicode(static_cast<unsigned char>(c))));
    return text;
}

std::string toCp1252(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t ch : text) {
        const int byte = unicodeToCp1252(static_cast<char32_t>(ch));
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

std::wstring displayText(std::string_view bytes) { return withLineBreaks(fromCp1252(bytes)); }

std::wstring withLineBreaks(std::wstring_view decoded) {
    std::wstring text;
    text.reserve(decoded.size() + 8);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const wchar_t ch = decoded[i];
        if (ch == L'\r' || ch == L'\n') {
            text += L"\r\n";
            if (ch == L'\r' && i + 1 < decoded.size() && decoded[i + 1] == L'\n') ++i;
        } else {
            text.push_back(ch);
        }
    }
    return text;
}

std::string programText(std::wstring_view shown) {
    std::wstring text;
    text.reserve(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == L'\r' && i + 1 < shown.size() && shown[i + 1] == L'\n') ++i;
        text.push_back(shown[i] == L'\n' ? L'\r' : shown[i]);
    }
    return toCp1252(text);
}

std::wstring widenUtf8(std::string_view text) {
    if (text.empty()) return {};
    std::wstring wide(text.size(), L'\0'); // at most one unit a byte
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string narrowUtf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    std::string text(wide.size() * 3, '\0'); // at most three bytes a unit
    text.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                     text.data(), static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}

} // namespace treva
