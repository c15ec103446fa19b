#include "state/text.h"

#include <cstdint>
#include <cstdio>

namespace treva {

std::string formatNumber(const char *format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void appendBounded(std::string &text, std::string_view addition, std::size_t capacity) {
    if (capacity == 0) return;
    if (text.size() + addition.size() < capacity) {
        text.append(addition);
        return;
    }
    if (text.size() < capacity - 1) {
        text.append(addition.substr(0, capacity - 1 - text.size()));
    } else {
        text.resize(capacity - 1);
    }
    if (capacity >= 2) text[capacity - 2] = kTruncationMark;
}

namespace {

// Code points of 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighBytes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The module's tables were typed where byte 0xB3 is "\u2265" and byte 0xD5 is
// "\u2019"; the program shows those two bytes as the tables mean them.
constexpr unsigned char kGreaterOrEqualByte = 0xB3;
constexpr unsigned char kApostropheByte = 0xD5;

} // namespace

char16_t cp1252ToUnicode(unsigned char byte) {
    if (byte == kGreaterOrEqualByte) return u'\u2265';
    if (byte == kApostropheByte) return u'\u2019';
    return byte >= 0x80 && byte < 0xA0 ? kHighBytes[byte - 0x80] : char16_t(byte);
}

int unicodeToCp1252(char32_t character) {
    if (character == U'\u2265') return kGreaterOrEqualByte;
    // The tables' byte, not 0x92.
    if (character == U'\u2019') return kApostropheByte;
    if (character == kGreaterOrEqualByte || character == kApostropheByte) return -1; // their Latin-1 letters
    if (character < 0x80 || (character >= 0xA0 && character < 0x100)) return int(character);
    for (int i = 0; i < 32; ++i)
        if (kHighBytes[i] == character) return 0x80 + i;
    return -1;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        const uint32_t cp = cp1252ToUnicode(c);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

// The character that starts at `i`, with its length; length 0 when the bytes
// there start no whole character.
std::size_t utf8Character(std::string_view utf8, std::size_t i, char32_t &character) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    bool whole = length > 0 && i + length <= utf8.size();
    character = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; whole && k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
        whole = (next & 0xC0) == 0x80;
        character = (character << 6) | (next & 0x3F);
    }
    return whole ? length : 0;
}

} // namespace

bool isUtf8(std::string_view bytes) {
    char32_t character;
    for (std::size_t i = 0, length; i < bytes.size(); i += length)
        if ((length = utf8Character(bytes, i, character)) == 0) return false;
    return true;
}

std::string utf8ToCp1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t character;
        const std::size_t length = utf8Character(utf8, i, character);
        if (length == 0) {
            bytes += '?';
            ++i;
            continue;
        }
        const int byte = unicodeToCp1252(character);
        bytes += byte < 0 ? '?' : static_cast<char>(byte);
        i += length;
    }
    return bytes;
}

bool typedByKeys(unsigned char byte) {
    const char16_t shown = cp1252ToUnicode(byte);
    return shown >= 0x20 && (shown < 0x7F || shown >= 0xA0);
}

} // namespace treva
