#include "state/text.h"

#include <cstdint>

namespace treva {

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

std::string cp1252ToUtf8(std::string_view bytes) {
    // Code points of 0x80..0x9F; 0 where code page 1252 leaves a byte unassigned
    // (those bytes are passed on as the C1 control of the same value).
    static constexpr uint16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        uint32_t cp = c;
        if (c >= 0x80 && c < 0xA0 && high[c - 0x80] != 0) cp = high[c - 0x80];
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

} // namespace treva
